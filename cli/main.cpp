// glowdeck-cli: headless access to Glowdeck projects for scripts and tests.
#include <QDir>
#include <QGuiApplication>

#include "cli/CliSupport.h"
#include "cli/CompileCommands.h"
#include "cli/DeviceCommands.h"
#include "cli/EditCommands.h"
#include "cli/ProjectCommands.h"
#include "model/AccessError.h"
#include "model/HeadlessEnvironment.h"

namespace {

const char kUsage[] =
    "usage: glowdeck-cli COMMAND ...\n"
    "  new --root DIR NAME                     create a project folder DIR/NAME\n"
    "  add-group PROJECT [NAME]                append a group\n"
    "  add PROJECT GROUP picture|animation|text|interval [NAME]\n"
    "                                          append an item to group GROUP (from 1)\n"
    "  list PROJECT                            groups, items (marked \"dither\" when they dither)\n"
    "                                          and the data size\n"
    "  compile PROJECT [--ball 1|2] [--layer inner|outer] [--no-cache]\n"
    "                                          write PROJECT/data.bin\n"
    "  inspect FILE [--png OUT.png] [--ball 1|2] [--layer inner|outer]\n"
    "                                          check a data.bin and show what it holds\n"
    "  send FILE|--factory [--port DEVICE] [--ball 1|2] [--layer inner|outer]\n"
    "                                          download to the ball\n"
    "  ports                                   the serial ports, the ball's adapter marked\n"
    "  ball [--out FILE] [--link PATH] [--wait SECONDS]\n"
    "                                          a virtual ball on a pseudo-terminal\n"
    "  set-source PROJECT GROUP ITEM FILE      a picture's or an animation's source file\n"
    "  set-text PROJECT GROUP ITEM TEXT [--font FACE] [--size N] [--style N] [--color C]\n"
    "           [--background C] [--manual-spacing] [--offsets VERTICAL,CHINESE,ENGLISH,PUNCTUATION]\n"
    "  set-interval PROJECT GROUP ITEM [--length N] [--background C]\n"
    "  set-threshold PROJECT GROUP ITEM R G B  colours: black red green yellow blue magenta cyan\n"
    "                                          white, or 0xBBGGRR\n"
    "  set-dither PROJECT GROUP ITEM on|off    error diffusion for a picture or an animation\n";

}  // namespace

int main(int argc, char** argv) {
    glowdeck::PrepareHeadlessEnvironment();
    // Read before Qt sees them: the application object takes options of its
    // own out of argv ("--style" among them), which set-text needs.
    QStringList args;
    for (int k = 1; k < argc; ++k) args << QString::fromLocal8Bit(argv[k]);
    QGuiApplication app(argc, argv);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("new")) return glowdeck::RunNew(args);
        if (command == QLatin1String("add-group")) return glowdeck::RunAddGroup(args);
        if (command == QLatin1String("add")) return glowdeck::RunAdd(args);
        if (command == QLatin1String("list")) return glowdeck::RunList(args);
        if (command == QLatin1String("compile")) return glowdeck::RunCompile(args);
        if (command == QLatin1String("inspect")) return glowdeck::RunInspect(args);
        if (command == QLatin1String("send")) return glowdeck::RunSend(args);
        if (command == QLatin1String("ports")) return glowdeck::RunPorts(args);
        if (command == QLatin1String("ball")) return glowdeck::RunBall(args);
        if (command == QLatin1String("set-source")) return glowdeck::RunSetSource(args);
        if (command == QLatin1String("set-text")) return glowdeck::RunSetText(args);
        if (command == QLatin1String("set-interval")) return glowdeck::RunSetInterval(args);
        if (command == QLatin1String("set-threshold")) return glowdeck::RunSetThreshold(args);
        if (command == QLatin1String("set-dither")) return glowdeck::RunSetDither(args);
    } catch (const glowdeck::AccessError& e) {
        glowdeck::PrintErr(glowdeck::DamagedProjectText(e));
        return 1;
    }
    glowdeck::PrintErr(QStringLiteral("unknown command: %1").arg(command));
    std::fputs(kUsage, stderr);
    return 2;
}
