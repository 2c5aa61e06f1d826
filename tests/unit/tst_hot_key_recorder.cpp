// SPDX-License-Identifier: GPL-3.0-or-later
// The shortcut box: which keys it records, what it shows, and when recording ends.
#include "fake_platform.h"
#include "hotkey/shortcut_text.h"
#include "i18n/text_catalogue.h"
#include "views/hot_key_capture_view.h"
#include "views/hot_key_recorder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <optional>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

struct Recorded {
    std::uint32_t keyCode;
    std::uint32_t modifiers;
};

// A window holding the recorder and a field that can take the focus from it.
class RecorderWindow {
public:
    RecorderWindow(std::uint32_t keyCode = 0, std::uint32_t modifiers = 0)
        : recorder(new HotKeyRecorder(
              [this](std::uint32_t code, std::uint32_t mask) {
                  return shortcutDisplayString(code, mask, layout);
              },
              keyCode, modifiers, &window))
        , field(new QLineEdit(&window))
    {
        layout.names.insert(55, QStringLiteral("V"));
        layout.names.insert(39, QStringLiteral("S"));
        recorder->setShortcut(keyCode, modifiers);
        auto* box = new QVBoxLayout(&window);
        box->addWidget(recorder);
        box->addWidget(field);
        recorder->setOnChange([this](std::uint32_t code, std::uint32_t mask) {
            recorded = Recorded{code, mask};
            endSignalsBeforeOnChange = recordingEnds();
        });
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    HotKeyCaptureView& box() const { return recorder->captureView(); }
    void clickBox() const { QTest::mouseClick(&box(), Qt::LeftButton); }
    // The key goes where the application would send it: to the focused widget.
    void press(int key, Qt::KeyboardModifiers modifiers, quint32 scanCode)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
        QApplication::sendEvent(target, &event);
    }

    qsizetype recordingEnds() const { return recordingSpy.count(QVariantList{false}); }

    FakeKeyboardLayout layout;
    QWidget window;
    HotKeyRecorder* recorder;
    QLineEdit* field;
    QSignalSpy recordingSpy{&recorder->captureView(), &HotKeyCaptureView::isRecordingChanged};
    std::optional<Recorded> recorded;
    qsizetype endSignalsBeforeOnChange = -1;
};

} // namespace

class TestHotKeyRecorder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void keyWhileRecording_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<quint32>("scanCode");
        // -1: no combination recorded. The mask of Qt's modifiers is the hot key test's.
        QTest::addColumn<qint64>("recordedMask");
        QTest::addColumn<bool>("stillRecording");
        const auto row = [](const char* name, int key, Qt::KeyboardModifiers modifiers,
                            quint32 scanCode, qint64 recordedMask, bool stillRecording) {
            QTest::newRow(name) << key << modifiers << scanCode << recordedMask << stillRecording;
        };

        const Qt::KeyboardModifiers none = Qt::NoModifier;
        row("escape cancels", Qt::Key_Escape, none, 9, -1, false);
        row("plain letter is ignored", Qt::Key_V, none, 55, -1, true);
        // Ctrl+Alt+V arrives as Control, then Alt, then V: the modifier keys go on recording.
        row("control alone is no key", Qt::Key_Control, Qt::ControlModifier, 37, -1, true);
        // Shift alone would take the capital letter from every program.
        row("shift and a letter is ignored", Qt::Key_V, Qt::ShiftModifier, 55, -1, true);
        row("shift and F24", Qt::Key_F24, Qt::ShiftModifier, 202, 512, false);
        row("shift and F25 is ignored", Qt::Key_F25, Qt::ShiftModifier, 203, -1, true);
        row("control alt v", Qt::Key_V, Qt::ControlModifier | Qt::AltModifier, 55, 6144, false);
        // Tab and Shift+Tab would otherwise move the focus instead of being recorded.
        row("control shift tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 23, 4608,
            false);
        row("shift tab is ignored", Qt::Key_Backtab, Qt::ShiftModifier, 23, -1, true);
    }

    void keyWhileRecording()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(quint32, scanCode);
        QFETCH(qint64, recordedMask);
        QFETCH(bool, stillRecording);

        RecorderWindow recorder(39, 256);
        QVERIFY(recorder.show());
        recorder.clickBox();
        QVERIFY(recorder.box().isRecording());
        QVERIFY(recorder.box().hasFocus());

        recorder.press(key, modifiers, scanCode);

        QCOMPARE(recorder.box().isRecording(), stillRecording);
        QCOMPARE(recorder.box().hasFocus(), stillRecording);
        QCOMPARE(recorder.recordingEnds(), stillRecording ? 0 : 1);
        if (recordedMask < 0) {
            QVERIFY(!recorder.recorded.has_value());
        } else {
            QVERIFY(recorder.recorded.has_value());
            QCOMPARE(recorder.recorded->keyCode, scanCode);
            QCOMPARE(qint64(recorder.recorded->modifiers), recordedMask);
            // The owner stores the pair before hearing that recording ended.
            QCOMPARE(recorder.endSignalsBeforeOnChange, 0);
        }
    }

    void recordingEndsWhenTheBoxLosesFocusOrIsHidden()
    {
        for (const bool hide : {false, true}) {
            RecorderWindow recorder(55, 6144);
            QVERIFY(recorder.show());
            recorder.clickBox();
            QVERIFY(recorder.box().isRecording());
            if (hide)
                recorder.window.hide();
            else
                QTest::mouseClick(recorder.field, Qt::LeftButton);
            QVERIFY(!recorder.box().isRecording());
            QCOMPARE(recorder.recordingEnds(), 1);
            QCOMPARE(recorder.box().shownText(), QStringLiteral("Ctrl+Alt+V"));
            QVERIFY(!recorder.recorded.has_value());
        }
    }

    void focusWithoutClickRecordsNothing()
    {
        // Activating the window again can hand the box the focus without a click.
        RecorderWindow recorder;
        QVERIFY(recorder.show());
        recorder.box().setFocus(Qt::ActiveWindowFocusReason);
        QVERIFY(recorder.box().hasFocus());
        recorder.press(Qt::Key_V, Qt::ControlModifier | Qt::AltModifier, 55);
        QVERIFY(!recorder.recorded.has_value());
        QVERIFY(!recorder.box().isRecording());
    }

    void shownTextFollowsTheStoredPairOnly()
    {
        // Recorded before Shift alone was refused: still shown as it is.
        RecorderWindow recorder(55, 512);
        QVERIFY(recorder.show());
        QCOMPARE(recorder.box().shownText(), QStringLiteral("Shift+V"));
        recorder.clickBox();
        QCOMPARE(recorder.box().shownText(), catalogue::text("settings.hotkey.recording"));
        recorder.press(Qt::Key_S, Qt::MetaModifier, 39);
        // Recording hands the pair on; the box shows it once the owner stored it.
        QCOMPARE(recorder.box().shownText(), QStringLiteral("Shift+V"));
        QVERIFY(recorder.recorded);
        recorder.recorder->setShortcut(recorder.recorded->keyCode, recorder.recorded->modifiers);
        QCOMPARE(recorder.box().shownText(), QStringLiteral("Super+S"));
        recorder.recorder->setShortcut(0, 6144);
        QCOMPARE(recorder.box().shownText(), QStringLiteral("Not set"));
    }
};

QTEST_MAIN(TestHotKeyRecorder)
#include "tst_hot_key_recorder.moc"
