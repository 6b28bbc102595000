#include "cli/CommandHelp.h"

#include <iterator>

namespace glowdeck {

namespace {

struct Command {
    const char* name;
    const char* synopsis;  // after "glowdeck-cli "
    const char* summary;   // one line for the overview
    const char* details;   // the options, for COMMAND --help
};

// clang-format off
const Command kCommands[] = {
    {"new", "new --root DIR NAME", "create a project folder DIR/NAME",
     "Creates DIR/NAME with Images/, Index.prj and the group \"新建组\".\n"
     "  --root DIR       the project root that holds the project folders\n"},
    {"add-group", "add-group PROJECT [NAME]", "append a group",
     "Appends a group named NAME (default \"新建组\"); a project holds at most 10 groups.\n"},
    {"add", "add PROJECT GROUP picture|animation|text|interval [NAME]", "append an item to a group",
     "Appends an item with its placeholder image to group GROUP (counted from 1), checked\n"
     "like the program's add commands (300 items a group, 20 animations, the data limit).\n"},
    {"list", "list PROJECT", "groups, items and the data size",
     "Prints the groups and their items (kind, name, id, length) and the data size.\n"
     "Only reads: never waits for another program's lock.\n"},
    {"clean", "clean PROJECT", "remove the image files no item uses",
     "Removes every file in PROJECT/Images that no item uses any more (replaced or deleted\n"
     "items' images, files left by other programs) and prints each one and the total.\n"
     "Links are removed, never what they point to; folders stay. Edits and deletions already\n"
     "remove the files they no longer need.\n"},
    {"compile", "compile PROJECT [--ball 1|2] [--layer inner|outer] [--no-cache]", "write PROJECT/data.bin",
     "Compiles the project into PROJECT/data.bin; a failed compile keeps the previous one.\n"
     "Items are converted on every core; items unchanged since an earlier compile come from\n"
     "the column cache (~/.cache/glowdeck/columns).\n"
     "Shows a progress bar when stderr is a terminal, else a line every 10 %.\n"
     "  --ball 1|2       single-layer (1) or double-layer (2) ball; default: the \"TYPE\"\n"
     "                   of setting.ini, else 1\n"
     "  --layer inner|outer\n"
     "                   the layer of a double-layer ball; default outer\n"
     "  --no-cache       convert every item, neither reading nor filling the cache\n"},
    {"inspect", "inspect FILE [--png OUT.png] [--ball 1|2] [--layer inner|outer]",
     "check a data.bin and show what it holds",
     "Prints the index of a data.bin (groups, offsets, column counts, animations with their\n"
     "frames and delays) and checks every offset and the length against it.\n"
     "  --png OUT.png    also draw each group's columns, one strip per group\n"
     "  --ball 1|2       read the file as for this ball type\n"
     "  --layer inner|outer\n"
     "                   read the file as for this layer (inner: 14 bytes a column)\n"},
    {"render", "render DATA.BIN|PROJECT --out FILE [--view strip|ball] [--group N] [--ball 1|2]\n"
     "           [--layer inner|outer] [--size PIXELS] [--turn-seconds S] [--columns-per-turn N]\n"
     "           [--inner INNER.BIN]",
     "the compiled show as a picture or an animation",
     "Draws the show from the compiled bytes, as the ball shows them. FILE.png is a still:\n"
     "every group's columns as LED dots, one strip per group (or one ball per group).\n"
     "FILE.gif and FILE.webp are animations: the strip with the animations' frames at their\n"
     "compiled delays (a group without animations for 2 s), or the turning ball, at least one\n"
     "turn in at least 24 frames a group. A PROJECT that changed since its last compile is\n"
     "compiled first.\n"
     "  --out FILE       FILE.png, FILE.gif or FILE.webp\n"
     "  --view strip|ball\n"
     "                   flat strips (default) or the ball\n"
     "  --group N        only group N (1 to 10); default: every group in turn\n"
     "  --ball 1|2       read the data as for this ball type (default: the \"TYPE\" of\n"
     "                   setting.ini, else 1)\n"
     "  --layer inner|outer\n"
     "                   read the data as for this layer (default outer)\n"
     "  --size PIXELS    a strip's height or the ball's diameter, 56 to 4000 (default 224\n"
     "                   for strips, 400 for the ball)\n"
     "  --turn-seconds S one turn of the ball, 0.5 to 60 seconds (default 4)\n"
     "  --columns-per-turn N\n"
     "                   columns around the ball, 8 to 4096 (default 112)\n"
     "  --inner INNER.BIN\n"
     "                   a double-layer ball: the inner layer's data.bin, shown inside the\n"
     "                   outer ball (DATA.BIN or PROJECT) where the outer LEDs are dark\n"},
    {"send", "send FILE|--factory [--port DEVICE] [--ball 1|2] [--layer inner|outer]",
     "download to the ball",
     "Downloads FILE (a data.bin) to the ball: init command, 8-second wait, numbered packets\n"
     "with CRC, end command; about a minute and a half for a full ball. Shows a progress bar\n"
     "with the time left when stderr is a terminal. Exits 0 only when the end command was\n"
     "written.\n"
     "  --factory        send the factory file instead: factory.bin, or factory1.bin (outer)\n"
     "                   and factory2.bin (inner) of a double-layer ball, from the program's\n"
     "                   folder or PREFIX/share/glowdeck\n"
     "  --port DEVICE    the serial device; default: the ball's adapter (USB vendor 067B)\n"
     "  --ball 1|2       ball type; default: the \"TYPE\" of setting.ini, else 1\n"
     "  --layer inner|outer\n"
     "                   the layer of a double-layer ball; default outer\n"},
    {"ports", "ports", "the serial ports, the ball's adapter marked",
     "Lists the serial ports with their names; the ball's adapter is marked with *, and a\n"
     "port that cannot be opened says why.\n"},
    {"ball", "ball [--out FILE] [--link PATH] [--wait SECONDS]", "a virtual ball on a pseudo-terminal",
     "Receives one transfer on a pseudo-terminal and checks it as the ball would.\n"
     "  --out FILE       write what the ball would have stored to FILE\n"
     "  --link PATH      make PATH a link to the pseudo-terminal while it listens\n"
     "  --wait SECONDS   give up when no sender comes (0.1 to 86400); default: wait\n"},
    {"set-source", "set-source PROJECT GROUP ITEM FILE [--frames N]",
     "a picture's or an animation's source file",
     "Copies FILE into the project under a fresh id. A picture stores width, height and\n"
     "length (56 x width / height); an animation (GIF or animated WebP, at most 50 frames;\n"
     "a WebP's frames are stored as a GIF) also its frames and delays. An animation of\n"
     "more than 50 frames keeps its first 50 and says so.\n"
     "  --frames N       animation: spread N frames (1 to 50) evenly over its running\n"
     "                   time, their delays keeping its total time\n"},
    {"set-text", "set-text PROJECT GROUP ITEM TEXT [--font FACE] [--size N] [--style N] [--color C]\n"
     "           [--background C] [--manual-spacing] [--offsets V,C,E,P]", "render a text item",
     "Renders TEXT (at most 200 characters; a longer text is refused) under a fresh id\n"
     "and stores it. Characters that FACE lacks are drawn from a fallback font.\n"
     "  --font FACE      font family\n"
     "  --size N         font size, 0 to 200\n"
     "  --style N        sum of 1 bold, 2 italic, 4 underline, 8 strike-out\n"
     "  --color C        text colour\n"
     "  --background C   background colour\n"
     "  --manual-spacing use the offsets below\n"
     "  --offsets V,C,E,P\n"
     "                   vertical (±50), Chinese (±50), English (±100) and punctuation (±200)\n"
     "                   spacing\n"
     "Colours: black red green yellow blue magenta cyan white, or a 0xBBGGRR number.\n"},
    {"set-interval", "set-interval PROJECT GROUP ITEM [--length N] [--background C]", "an interval's length and colour",
     "  --length N       columns, 1 to 300\n"
     "  --background C   black red green yellow blue magenta cyan white, or 0xBBGGRR\n"},
    {"set-threshold", "set-threshold PROJECT GROUP ITEM R G B", "an item's threshold colour",
     "Sets the item's threshold: R, G and B from 0 to 255.\n"},
    {"set-dither", "set-dither PROJECT GROUP ITEM on|off", "error diffusion for a picture or an animation",
     "Turns dithering on or off for a picture or an animation item: its LED image spreads each\n"
     "channel's rounding error to the neighbouring LEDs, so gradients survive eight colours.\n"
     "The item's thresholds still set how much lights. Off is the default.\n"},
};
// clang-format on

const char kExitCodes[] =
    "Exit status:\n"
    "  0  success\n"
    "  1  failure (the program's message on stderr)\n"
    "  2  usage error: unknown command, missing argument or a value out of its range\n";

const Command* Find(const QString& name) {
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

}  // namespace

QString OverviewHelp() {
    QString text = QStringLiteral(
        "Usage: glowdeck-cli COMMAND [ARGUMENTS]\n"
        "Edit, compile and download Glowdeck projects for the LED ball. PROJECT is a project\n"
        "folder; group and item numbers count from 1.\n\n"
        "Commands:\n");
    for (const Command& c : kCommands) {
        text += QStringLiteral("  %1\n").arg(QString::fromUtf8(c.synopsis));
        text += QStringLiteral("        %1\n").arg(QString::fromUtf8(c.summary));
    }
    text += QStringLiteral(
        "\nOptions:\n"
        "  --help           this text; COMMAND --help shows one command with its options\n"
        "  --version        the version\n\n"
        "Environment:\n"
        "  GLOWDECK_LOCK_WAIT  seconds (0 to 3600, default 60) a command waits for another\n"
        "                      command that holds the project\n\n");
    return text + QString::fromUtf8(kExitCodes);
}

QString CommandHelp(const QString& command) {
    const Command* c = Find(command);
    if (!c) return QString();
    return QStringLiteral("Usage: glowdeck-cli %1\n%2\n%3")
        .arg(QString::fromUtf8(c->synopsis), QString::fromUtf8(c->details),
             QString::fromUtf8(kExitCodes));
}

QString VersionText() {
    return QStringLiteral("glowdeck-cli %1").arg(QStringLiteral(GLOWDECK_VERSION));
}

}  // namespace glowdeck
