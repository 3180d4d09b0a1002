#include "command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QUrl>

#include "korvane_version.h"

namespace korvane {

namespace {
const char kUsage[] =
    "Usage: korvane [--record FILE] [--hall URL] [--replay FILE] | --help | --version\n";

const char kHelp[] =
    "Usage: korvane [--record FILE] [--hall URL] [--replay FILE] | --help | --version\n"
    "\n"
    "Korvane: command the starship Halcyra against one huge Vessik cube, with phasers,\n"
    "photon torpedoes and shields. Choose the number of stars, which sets the game's\n"
    "speed, before every game.\n"
    "\n"
    "Keys (on release): Ctrl phasers, Space torpedo, arrows crosshairs, Z/C move left/right,\n"
    "X stop, S shields, H hint, A help/About, Q quit.\n"
    "Mouse over the viewscreen: left moves the crosshairs there, right fires phasers,\n"
    "middle launches a torpedo.\n"
    "\n"
    "  --record FILE  play as usual and write the session to FILE, as a korvane-sim\n"
    "                 script: 'korvane-sim FILE' replays it and checks it frame by frame\n"
    "  --replay FILE  show a recording in the window at the game's own pace; closing\n"
    "                 the window or Q ends it\n"
    "  --hall URL     play live for the hall of fame korvane-hall serves at URL, from\n"
    "                 the hall's seed; a game that scored may be entered. With --replay\n"
    "                 the recording's inputs play it\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n";

CommandLineAnswer UsageError(const QString& message) {
    return {2, "", "korvane: " + message.toStdString() + "\n" + kUsage};
}

// A hall is reached over plain HTTP or HTTPS, at an address with a host.
bool IsHallAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
           !url.host().isEmpty();
}
}  // namespace

std::optional<CommandLineAnswer> AnswerCommandLine(const std::vector<std::string>& args,
                                                   PlayOptions* play) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption record(QStringLiteral("record"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption replay(QStringLiteral("replay"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption hall(QStringLiteral("hall"), QString(), QStringLiteral("URL"));
    parser.addOptions({help, version, record, replay, hall});
    QStringList list{QStringLiteral("korvane")};
    for (const std::string& a : args) list << QString::fromLocal8Bit(a);
    if (!parser.parse(list)) return UsageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError("unexpected argument '" + parser.positionalArguments().first() + "'");
    }
    QStringList given = parser.optionNames();
    for (const QString& name : given) {
        if (given.count(name) > 1) return UsageError("--" + name + " is given twice");
    }
    // A hall game may be played from a recording's inputs, and a hall game or a replay
    // recorded as well: --record, --hall and --replay go together, --help and --version alone.
    const QStringList alone{QStringLiteral("help"), QStringLiteral("version")};
    if (given.size() > 1 && (alone.contains(given[0]) || alone.contains(given[1]))) {
        return UsageError("--" + given[0] + " and --" + given[1] + " cannot be used together");
    }
    if (parser.isSet(help)) return CommandLineAnswer{0, kHelp, ""};
    if (parser.isSet(version)) return CommandLineAnswer{0, "korvane " KORVANE_VERSION "\n", ""};
    for (const QCommandLineOption* file : {&record, &replay}) {
        if (parser.isSet(*file) && parser.value(*file).isEmpty()) {
            return UsageError("--" + file->names().first() + " needs a file name");
        }
    }
    if (parser.isSet(hall) && !IsHallAddress(parser.value(hall))) {
        return UsageError("--hall needs an http:// or https:// address, not '" +
                          parser.value(hall) + "'");
    }
    if (play) {
        play->recordPath = parser.value(record).toLocal8Bit().toStdString();
        play->replayPath = parser.value(replay).toLocal8Bit().toStdString();
        play->hallUrl = parser.value(hall).toStdString();
    }
    return std::nullopt;
}

}  // namespace korvane
