// SPDX-License-Identifier: GPL-3.0-or-later
// The settings row's shortcut control: shows the stored pair and hands recorded ones on.
#include "views/hot_key_recorder.h"

#include <QHBoxLayout>

namespace nabrix {

HotKeyRecorder::HotKeyRecorder(Naming naming, std::uint32_t keyCode, std::uint32_t modifiers,
                               QWidget* parent)
    : QWidget(parent)
    , m_naming(std::move(naming))
    , m_captureView(new HotKeyCaptureView(this))
    , m_keyCode(keyCode)
    , m_modifiers(modifiers)
{
    auto* layoutBox = new QHBoxLayout(this);
    layoutBox->setContentsMargins(0, 0, 0, 0);
    layoutBox->addWidget(m_captureView);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_captureView->setDisplayShortcut(m_naming(keyCode, modifiers));
}

void HotKeyRecorder::setShortcut(std::uint32_t keyCode, std::uint32_t modifiers)
{
    m_keyCode = keyCode;
    m_modifiers = modifiers;
    m_captureView->setDisplayShortcut(m_naming(keyCode, modifiers));
}

void HotKeyRecorder::setOnChange(ChangeHandler onChange)
{
    m_captureView->setOnKey(std::move(onChange));
}

} // namespace nabrix
