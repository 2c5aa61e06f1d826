// SPDX-License-Identifier: GPL-3.0-or-later
// The `nabrix` commands for scripts and launchers: list, search, get, copy, paste, delete...
#include "shell/command_line.h"

#include "app/command_protocol.h"
#include "capture/file_list.h"
#include "i18n/text_catalogue.h"
#include "shell/entry_listing.h"
#include "shell/instance_client.h"
#include "shell/single_instance.h"
#include "storage/data_paths.h"
#include "storage/storage_manager.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>
#include <variant>

namespace nabrix {

namespace {

enum class Command { Show, Hide, Toggle, List, Search, Get, Copy, Paste, Delete };

struct CommandDefinition {
    const char* name;
    Command command;
    // How many arguments it takes; -1: one or more.
    int arguments;
    bool listing; // takes --limit, --type and --json
    bool reveals; // takes --reveal
};

constexpr CommandDefinition commands[] = {
    {"show", Command::Show, 0, false, false},      {"hide", Command::Hide, 0, false, false},
    {"toggle", Command::Toggle, 0, false, false},  {"list", Command::List, 0, true, true},
    {"search", Command::Search, -1, true, true},   {"get", Command::Get, 1, false, true},
    {"copy", Command::Copy, 1, false, false},      {"paste", Command::Paste, 1, false, false},
    {"delete", Command::Delete, -1, false, false},
};

// Our options as they may come first; anything else starting with a dash is Qt's.
constexpr const char* ownOptions[] = {"-h",     "--help",   "--help-all", "-v",    "--version",
                                      "--json", "--reveal", "--limit",    "--type"};

struct Invocation {
    const CommandDefinition* definition = nullptr;
    QStringList arguments;
    EntryListing::Filter filter;
    bool json = false;
    EntryListing::Sensitive sensitive = EntryListing::Sensitive::Masked;
};

int fail(const QString& message)
{
    std::fprintf(stderr, "nabrix: %s\n", qUtf8Printable(message));
    return 1;
}

// False when standard output is gone (a pipe's reader quit).
bool writeOut(const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
               std::size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

std::optional<int> terminalColumns()
{
    if (::isatty(STDOUT_FILENO) == 0)
        return std::nullopt;
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return std::nullopt;
    return int(size.ws_col);
}

QString helpText(const QCommandLineParser& parser)
{
    const QStringList lines{
        //% "Commands:"
        catalogue::text("cli.help.commands"),
        //% "  show | hide | toggle   the history window; show and toggle start Nabrix if needed"
        catalogue::text("cli.help.window"),
        //% "  list                   the history, newest first: id, age, type, preview"
        catalogue::text("cli.help.list"),
        //% "  search QUERY...        the entries the history window's search finds"
        catalogue::text("cli.help.search"),
        //% "  get ID                 writes an entry's content to standard output"
        catalogue::text("cli.help.get"),
        //% "  copy ID                puts an entry on the clipboard"
        catalogue::text("cli.help.copy"),
        //% "  paste ID               puts an entry on the clipboard and pastes it"
        catalogue::text("cli.help.paste"),
        //% "  delete ID...           deletes entries"
        catalogue::text("cli.help.delete"),
    };
    return parser.helpText() + u'\n' + lines.join(u'\n') + u'\n';
}

// The parsed invocation, or the exit status when there is nothing more to do.
std::variant<Invocation, int> parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        //% "Clipboard history. Without a command, starts Nabrix or shows or hides its history."
        catalogue::text("cli.description"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption limit(QStringLiteral("limit"),
                                   //% "Lists at most N entries."
                                   catalogue::text("cli.option.limit"), QStringLiteral("N"));
    const QCommandLineOption type(QStringLiteral("type"),
                                  //% "Lists only entries of this type: text, rtf, image or file."
                                  catalogue::text("cli.option.type"), QStringLiteral("type"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  //% "Prints one JSON array instead of lines."
                                  catalogue::text("cli.option.json"));
    const QCommandLineOption reveal(QStringLiteral("reveal"),
                                    //% "Shows sensitive entries as they are."
                                    catalogue::text("cli.option.reveal"));
    parser.addOptions({limit, type, json, reveal});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 //% "What to do; see the commands below."
                                 catalogue::text("cli.argument.command"),
                                 QStringLiteral("command [arguments]"));
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        writeOut(helpText(parser).toUtf8());
        return 0;
    }
    if (parser.isSet(version)) {
        writeOut(
            QStringLiteral("nabrix %1\n").arg(QCoreApplication::applicationVersion()).toUtf8());
        return 0;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        //% "No command given; see nabrix --help."
        return fail(catalogue::text("cli.noCommand"));
    Invocation invocation;
    const QString name = positional.takeFirst();
    for (const CommandDefinition& definition : commands) {
        if (name == QLatin1StringView(definition.name))
            invocation.definition = &definition;
    }
    if (invocation.definition == nullptr)
        //% "Unknown command \"%1\"; see nabrix --help."
        return fail(catalogue::text("cli.unknownCommand").arg(name));
    const CommandDefinition& definition = *invocation.definition;
    if (definition.arguments >= 0 ? positional.size() != definition.arguments
                                  : positional.isEmpty())
        //% "Wrong number of arguments for %1; see nabrix --help."
        return fail(catalogue::text("cli.argumentCount").arg(name));
    for (const QCommandLineOption* option : {&limit, &type, &json, &reveal}) {
        const bool applies = option == &reveal ? definition.reveals : definition.listing;
        if (parser.isSet(*option) && !applies)
            //% "The option --%1 does not go with %2."
            return fail(catalogue::text("cli.optionMisplaced").arg(option->names().first(), name));
    }
    invocation.arguments = positional;
    if (parser.isSet(limit)) {
        bool isNumber = false;
        const qlonglong count = parser.value(limit).toLongLong(&isNumber);
        if (!isNumber || count < 0)
            //% "--limit needs a whole number, not \"%1\"."
            return fail(catalogue::text("cli.badLimit").arg(parser.value(limit)));
        invocation.filter.limit = qsizetype(count);
    }
    if (parser.isSet(type)) {
        invocation.filter.type = clipTypeFromRawValue(parser.value(type));
        if (!invocation.filter.type)
            //% "--type must be text, rtf, image or file, not \"%1\"."
            return fail(catalogue::text("cli.badType").arg(parser.value(type)));
    }
    if (definition.command == Command::Search)
        invocation.filter.query = positional.join(u' ');
    invocation.json = parser.isSet(json);
    if (parser.isSet(reveal))
        invocation.sensitive = EntryListing::Sensitive::Revealed;
    return invocation;
}

int unknownEntry(const QString& handle)
{
    //% "There is no entry %1 in the history."
    return fail(catalogue::text("cli.unknownEntry").arg(handle));
}

int failed(InstanceClient::Failure failure)
{
    switch (failure) {
    case InstanceClient::Failure::NotRunning:
        //% "Nabrix is not running."
        return fail(catalogue::text("cli.notRunning"));
    case InstanceClient::Failure::NoAnswer:
        //% "The running Nabrix does not answer."
        return fail(catalogue::text("cli.noAnswer"));
    case InstanceClient::Failure::GarbledReply:
        break;
    }
    //% "The running Nabrix gave an answer that cannot be read."
    return fail(catalogue::text("cli.garbledReply"));
}

int refused(const RemoteReply& reply)
{
    switch (reply.status) {
    case RemoteStatus::Ok:
        return 0;
    case RemoteStatus::UnknownEntry:
        return unknownEntry(reply.handle);
    case RemoteStatus::UnusableEntry:
        //% "The content of entry %1 cannot be used."
        return fail(catalogue::text("cli.unusableEntry").arg(reply.handle));
    case RemoteStatus::Malformed:
        break;
    }
    //% "The running Nabrix did not understand the request."
    return fail(catalogue::text("cli.malformed"));
}

// The history as the store has saved it, for when no instance runs; opened for reading only.
std::variant<std::unique_ptr<StorageManager>, int> openHistory()
{
    const QString path = historyFilePath();
    if (!QFileInfo::exists(path))
        return std::unique_ptr<StorageManager>();
    StorageManager::OpenResult opened = StorageManager::openForReading(path);
    if (!opened.storage)
        //% "Cannot read the history: %1"
        return fail(catalogue::text("cli.unreadableHistory").arg(opened.error));
    return std::move(opened.storage);
}

int printList(const Invocation& invocation, const QList<ClipItem>& newestFirst)
{
    const QList<ClipItem> items = EntryListing::select(newestFirst, invocation.filter);
    const QByteArray out = invocation.json
                               ? EntryListing::json(items, invocation.sensitive)
                               : EntryListing::lines(items, QDateTime::currentDateTimeUtc(),
                                                     invocation.sensitive, terminalColumns());
    return writeOut(out) ? 0 : 1;
}

int printContent(const Invocation& invocation, const ClipItem& item, const QByteArray& content)
{
    if (item.isSensitive && invocation.sensitive == EntryListing::Sensitive::Masked)
        //% "Entry %1 is sensitive; add --reveal to print it."
        return fail(catalogue::text("cli.sensitive").arg(idText(item.id)));
    if (item.type != ClipType::File)
        return writeOut(content) ? 0 : 1;
    const auto urls = decodeFileList(content);
    if (!urls)
        return fail(catalogue::text("cli.unusableEntry").arg(idText(item.id)));
    QByteArray paths;
    for (const QUrl& url : *urls)
        paths += (url.isLocalFile() ? url.toLocalFile() : url.toString()).toUtf8() + '\n';
    return writeOut(paths) ? 0 : 1;
}

std::optional<int> execute(const Invocation& invocation)
{
    RemoteRequest request;
    for (const QString& handle : invocation.arguments) {
        if (invocation.definition->command == Command::Search)
            break;
        const QUuid id = QUuid::fromString(handle);
        if (id.isNull())
            return unknownEntry(handle);
        request.ids.append(id);
    }
    switch (invocation.definition->command) {
    case Command::Show:
        request.command = RemoteCommand::Show;
        break;
    case Command::Hide:
        request.command = RemoteCommand::Hide;
        break;
    case Command::Toggle:
        request.command = RemoteCommand::Toggle;
        break;
    case Command::List:
    case Command::Search:
        request.command = RemoteCommand::List;
        break;
    case Command::Get:
        request.command = RemoteCommand::Get;
        break;
    case Command::Copy:
        request.command = RemoteCommand::Copy;
        break;
    case Command::Paste:
        request.command = RemoteCommand::Paste;
        break;
    case Command::Delete:
        request.command = RemoteCommand::Delete;
        break;
    }

    const InstanceClient::Result result =
        InstanceClient(SingleInstance::socketPathFor(dataDirectory())).send(request);
    if (result.reply) {
        if (result.reply->status != RemoteStatus::Ok)
            return refused(*result.reply);
        if (request.command == RemoteCommand::List)
            return printList(invocation, result.reply->items);
        if (request.command == RemoteCommand::Get)
            return result.reply->items.isEmpty()
                       ? failed(InstanceClient::Failure::GarbledReply)
                       : printContent(invocation, result.reply->items.first(),
                                      result.reply->content);
        return 0;
    }
    if (result.failure != InstanceClient::Failure::NotRunning)
        return failed(result.failure);

    switch (request.command) {
    case RemoteCommand::Show:
    case RemoteCommand::Toggle:
        return std::nullopt;
    case RemoteCommand::Hide:
        // Nothing is shown, which is what was asked for.
        return 0;
    case RemoteCommand::List:
    case RemoteCommand::Get: {
        auto opened = openHistory();
        if (const int* status = std::get_if<int>(&opened))
            return *status;
        const auto& storage = std::get<std::unique_ptr<StorageManager>>(opened);
        if (request.command == RemoteCommand::List)
            return printList(invocation, storage ? storage->allItems() : QList<ClipItem>());
        const QUuid id = request.ids.first();
        const std::optional<ClipItem> item = storage ? storage->item(id) : std::nullopt;
        if (!item)
            return unknownEntry(invocation.arguments.first());
        const std::optional<QByteArray> content = storage->contentData(id);
        if (!content)
            return fail(catalogue::text("cli.unusableEntry").arg(idText(id)));
        return printContent(invocation, *item, *content);
    }
    case RemoteCommand::Copy:
    case RemoteCommand::Paste:
    case RemoteCommand::Delete:
        break;
    }
    return failed(InstanceClient::Failure::NotRunning);
}

} // namespace

bool CommandLine::isCommand(int argc, const char* const* argv)
{
    if (argc < 2)
        return false;
    const QByteArrayView first(argv[1]);
    if (!first.startsWith('-'))
        return true;
    const qsizetype equals = first.indexOf('=');
    const QByteArrayView name = equals < 0 ? first : first.first(equals);
    return std::any_of(std::begin(ownOptions), std::end(ownOptions),
                       [&name](const char* option) { return name == QByteArrayView(option); });
}

std::optional<int> CommandLine::run(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nabrix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NABRIX_VERSION));
    installTranslations(application, QLocale::system());
    const auto parsed = parse(QCoreApplication::arguments());
    if (const int* status = std::get_if<int>(&parsed))
        return *status;
    return execute(std::get<Invocation>(parsed));
}

} // namespace nabrix
