// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandTable.h"

#include <QCoreApplication>

#include "cli/CompileCommands.h"
#include "cli/DeviceCommands.h"
#include "cli/EditCommands.h"
#include "cli/ProjectCommands.h"
#include "cli/ReadCommands.h"
#include "cli/RenderCommands.h"

namespace glowdeck {

namespace {

constexpr const char* kColours = "black red green yellow blue magenta cyan white";

const OptionRow kBall{
    "--ball", "1|2",
    QT_TRANSLATE_NOOP("CommandHelp",
                      "single-layer (1) or double-layer (2) ball; default: the \"TYPE\"\n"
                      "of setting.ini, else 1"),
    Completion::Words, "1 2"};
const OptionRow kLayer{
    "--layer", "inner|outer",
    QT_TRANSLATE_NOOP("CommandHelp", "the layer of a double-layer ball; default outer"),
    Completion::Words, "inner outer"};
const ArgumentRow kProject{Completion::Folder};
const ArgumentRow kFree{};

}  // namespace

int RunInFullProgram(const QStringList&) { return kRunInFullProgram; }

// A command that draws, converts or edits: the reading program
// (GLOWDECK_CLI_READING) hands it over to the full program.
#ifdef GLOWDECK_CLI_READING
#define FULL(run) RunInFullProgram
#define INSPECT RunInspectReading
#define COMPILE RunCompileReading
#else
#define FULL(run) run
#define INSPECT RunInspect
#define COMPILE RunCompile
#endif

// One row a command. A new command is one row here (its Run function beside
// the others); a new option is one entry in its row's options, read by the
// command's Run function. The overview, COMMAND --help and the bash
// completion are made from these rows.
// clang-format off
const std::vector<CommandRow>& Commands() {
    static const std::vector<CommandRow> rows{
    {"new", "new --root DIR NAME", QT_TRANSLATE_NOOP("CommandHelp", "create a project folder DIR/NAME"),
     "Creates DIR/NAME with Images/, Index.prj and one group named \"新建组\" (\"New group\" in English).",  // untranslated
     {{"--root", "DIR", QT_TRANSLATE_NOOP("CommandHelp", "the project root that holds the project folders"), Completion::Folder}},
     nullptr, {kFree}, false, FULL(RunNew)},
    {"add-group", "add-group PROJECT [NAME]", QT_TRANSLATE_NOOP("CommandHelp", "append a group"),
     "Appends a group named NAME (default \"新建组\", \"New group\" in English); a project holds at most 10 groups.",  // untranslated
     {}, nullptr, {kProject, kFree}, false, FULL(RunAddGroup)},
    {"add", "add PROJECT GROUP picture|animation|text|interval [NAME]", QT_TRANSLATE_NOOP("CommandHelp", "append an item to a group"),
     QT_TRANSLATE_NOOP("CommandHelp", "Appends an item with its placeholder image to group GROUP (counted from 1), checked\n"
     "like the program's add commands (300 items a group, 20 animations, the data limit)."),
     {}, nullptr,
     {kProject, kFree, {Completion::Words, "picture animation text interval"}, kFree},
     true, FULL(RunAdd)},
    {"list", "list PROJECT", QT_TRANSLATE_NOOP("CommandHelp", "groups, items and the data size"),
     QT_TRANSLATE_NOOP("CommandHelp", "Prints the groups and their items (kind, name, id, length) and the data size.\n"
     "Only reads: never waits for another program's lock."),
     {}, nullptr, {kProject}, false, RunList},
    {"clean", "clean PROJECT", QT_TRANSLATE_NOOP("CommandHelp", "remove the image files no item uses"),
     QT_TRANSLATE_NOOP("CommandHelp", "Removes every file in PROJECT/Images that no item uses any more (replaced or deleted\n"
     "items' images, files left by other programs) and prints each one and the total.\n"
     "Links are removed, never what they point to; folders stay. Edits and deletions already\n"
     "remove the files they no longer need."),
     {}, nullptr, {kProject}, false, FULL(RunClean)},
    {"compile", "compile PROJECT [--ball 1|2] [--layer inner|outer] [--no-cache]", QT_TRANSLATE_NOOP("CommandHelp", "write PROJECT/data.bin"),
     QT_TRANSLATE_NOOP("CommandHelp", "Compiles the project into PROJECT/data.bin; a failed compile keeps the previous one.\n"
     "Items are converted on every core; items unchanged since an earlier compile come from\n"
     "the column cache (~/.cache/glowdeck/columns).\n"
     "Shows a progress bar when stderr is a terminal, else a line every 10 %."),
     {kBall, kLayer,
      {"--no-cache", nullptr, QT_TRANSLATE_NOOP("CommandHelp", "convert every item, neither reading nor filling the cache")}},
     nullptr, {kProject}, false, COMPILE},
    {"inspect", "inspect FILE [--png OUT.png] [--ball 1|2] [--layer inner|outer]",
     QT_TRANSLATE_NOOP("CommandHelp", "check a data.bin and show what it holds"),
     QT_TRANSLATE_NOOP("CommandHelp", "Prints the index of a data.bin (groups, offsets, column counts, animations with their\n"
     "frames and delays) and checks every offset and the length against it."),
     {{"--png", "OUT.png", QT_TRANSLATE_NOOP("CommandHelp", "also draw each group's columns, one strip per group"), Completion::PngFile},
      {"--ball", "1|2", QT_TRANSLATE_NOOP("CommandHelp", "read the file as for this ball type"), Completion::Words, "1 2"},
      {"--layer", "inner|outer", QT_TRANSLATE_NOOP("CommandHelp", "read the file as for this layer (inner: 14 bytes a column)"),
       Completion::Words, "inner outer"}},
     nullptr, {{Completion::DataFile}}, false, INSPECT},
    {"render", "render DATA.BIN|PROJECT --out FILE [--view strip|ball] [--group N] [--ball 1|2]\n"
     "           [--layer inner|outer] [--size PIXELS] [--turn-seconds S] [--columns-per-turn N]\n"
     "           [--inner INNER.BIN]",
     QT_TRANSLATE_NOOP("CommandHelp", "the compiled show as a picture or an animation"),
     QT_TRANSLATE_NOOP("CommandHelp", "Draws the show from the compiled bytes, as the ball shows them. FILE.png is a still:\n"
     "every group's columns as LED dots, one strip per group (or one ball per group).\n"
     "FILE.gif and FILE.webp are animations: the strip with the animations' frames at their\n"
     "compiled delays (a group without animations for 2 s), or the turning ball, at least one\n"
     "turn in at least 24 frames a group. A PROJECT that changed since its last compile is\n"
     "compiled first."),
     {{"--out", "FILE", QT_TRANSLATE_NOOP("CommandHelp", "FILE.png, FILE.gif or FILE.webp"), Completion::AnyFile},
      {"--view", "strip|ball", QT_TRANSLATE_NOOP("CommandHelp", "flat strips (default) or the ball"), Completion::Words, "strip ball"},
      {"--group", "N", QT_TRANSLATE_NOOP("CommandHelp", "only group N (1 to 10); default: every group in turn")},
      {"--ball", "1|2",
       QT_TRANSLATE_NOOP("CommandHelp", "read the data as for this ball type (default: the \"TYPE\" of\n"
       "setting.ini, else 1)"),
       Completion::Words, "1 2"},
      {"--layer", "inner|outer", QT_TRANSLATE_NOOP("CommandHelp", "read the data as for this layer (default outer)"),
       Completion::Words, "inner outer"},
      {"--size", "PIXELS",
       QT_TRANSLATE_NOOP("CommandHelp", "a strip's height or the ball's diameter, 56 to 4000 (default 224\n"
       "for strips, 400 for the ball)")},
      {"--turn-seconds", "S", QT_TRANSLATE_NOOP("CommandHelp", "one turn of the ball, 0.5 to 60 seconds (default 4)")},
      {"--columns-per-turn", "N", QT_TRANSLATE_NOOP("CommandHelp", "columns around the ball, 8 to 4096 (default 112)")},
      {"--inner", "INNER.BIN",
       QT_TRANSLATE_NOOP("CommandHelp", "a double-layer ball: the inner layer's data.bin, shown inside the\n"
       "outer ball (DATA.BIN or PROJECT) where the outer LEDs are dark"),
       Completion::DataFile}},
     nullptr, {{Completion::AnyFile}}, false, FULL(RunRender)},
    {"send", "send FILE|--factory [--port DEVICE] [--ball 1|2] [--layer inner|outer]",
     QT_TRANSLATE_NOOP("CommandHelp", "download to the ball"),
     QT_TRANSLATE_NOOP("CommandHelp", "Downloads FILE (a data.bin) to the ball: init command, 8-second wait, numbered packets\n"
     "with CRC, end command; about a minute and a half for a full ball. Shows a progress bar\n"
     "with the time left when stderr is a terminal. Exits 0 only when the end command was\n"
     "written."),
     {{"--factory", nullptr,
       QT_TRANSLATE_NOOP("CommandHelp", "send the factory file instead: factory.bin, or factory1.bin (outer)\n"
       "and factory2.bin (inner) of a double-layer ball, from the program's\n"
       "folder or PREFIX/share/glowdeck")},
      {"--port", "DEVICE", QT_TRANSLATE_NOOP("CommandHelp", "the serial device; default: the ball's adapter (USB vendor 067B)"),
       Completion::SerialPort},
      {"--ball", "1|2", QT_TRANSLATE_NOOP("CommandHelp", "ball type; default: the \"TYPE\" of setting.ini, else 1"),
       Completion::Words, "1 2"},
      kLayer},
     nullptr, {{Completion::DataFile}}, false, RunSend},
    {"ports", "ports", QT_TRANSLATE_NOOP("CommandHelp", "the serial ports, the ball's adapter marked"),
     QT_TRANSLATE_NOOP("CommandHelp", "Lists the serial ports with their names; the ball's adapter is marked with *, and a\n"
     "port that cannot be opened says why."),
     {}, nullptr, {}, false, RunPorts},
    {"ball", "ball [--out FILE] [--link PATH] [--wait SECONDS]", QT_TRANSLATE_NOOP("CommandHelp", "a virtual ball on a pseudo-terminal"),
     QT_TRANSLATE_NOOP("CommandHelp", "Receives one transfer on a pseudo-terminal and checks it as the ball would."),
     {{"--out", "FILE", QT_TRANSLATE_NOOP("CommandHelp", "write what the ball would have stored to FILE"), Completion::AnyFile},
      {"--link", "PATH", QT_TRANSLATE_NOOP("CommandHelp", "make PATH a link to the pseudo-terminal while it listens"),
       Completion::AnyFile},
      {"--wait", "SECONDS", QT_TRANSLATE_NOOP("CommandHelp", "give up when no sender comes (0.1 to 86400); default: wait")}},
     nullptr, {}, false, RunBall},
    {"set-source", "set-source PROJECT GROUP ITEM FILE [--frames N] [--start SECONDS]\n"
     "           [--duration SECONDS]",
     QT_TRANSLATE_NOOP("CommandHelp", "a picture's or an animation's source file"),
     QT_TRANSLATE_NOOP("CommandHelp", "Copies FILE into the project under a fresh id. A picture stores width, height and\n"
     "length (56 x width / height); an animation (GIF or animated WebP, at most 50 frames;\n"
     "a WebP's frames are stored as a GIF) also its frames and delays. An animation of\n"
     "more than 50 frames keeps its first 50 and says so. A video clip (MP4, WebM, MKV,\n"
     "MOV, AVI) of at most 50 frames is taken whole, a longer one spread evenly to 50\n"
     "frames over its length; its frames are stored as a GIF at most 240 rows high."),
     {{"--frames", "N",
       QT_TRANSLATE_NOOP("CommandHelp", "animation: spread N frames (1 to 50) evenly over its running\n"
       "time, their delays keeping its total time")},
      {"--start", "SECONDS", QT_TRANSLATE_NOOP("CommandHelp", "video: begin this far into the clip (before its end)")},
      {"--duration", "SECONDS", QT_TRANSLATE_NOOP("CommandHelp", "video: take this long a stretch (above 0; at most to the end)")}},
     nullptr, {kProject, kFree, kFree, {Completion::ImageFile}}, false, FULL(RunSetSource)},
    {"set-text", "set-text PROJECT GROUP ITEM TEXT [--font FACE] [--size N] [--style N] [--color C]\n"
     "           [--background C] [--manual-spacing] [--offsets V,C,E,P]", QT_TRANSLATE_NOOP("CommandHelp", "render a text item"),
     QT_TRANSLATE_NOOP("CommandHelp", "Renders TEXT (at most 200 characters; a longer text is refused) under a fresh id\n"
     "and stores it. Characters that FACE lacks are drawn from a fallback font."),
     {{"--font", "FACE", QT_TRANSLATE_NOOP("CommandHelp", "font family")},
      {"--size", "N", QT_TRANSLATE_NOOP("CommandHelp", "font size, 0 to 200")},
      {"--style", "N", QT_TRANSLATE_NOOP("CommandHelp", "sum of 1 bold, 2 italic, 4 underline, 8 strike-out")},
      {"--color", "C", QT_TRANSLATE_NOOP("CommandHelp", "text colour"), Completion::Words, kColours},
      {"--background", "C", QT_TRANSLATE_NOOP("CommandHelp", "background colour"), Completion::Words, kColours},
      {"--manual-spacing", nullptr, QT_TRANSLATE_NOOP("CommandHelp", "use the offsets below")},
      {"--offsets", "V,C,E,P",
       QT_TRANSLATE_NOOP("CommandHelp", "vertical (±50), Chinese (±50), English (±100) and punctuation (±200)\n"
       "spacing")}},
     QT_TRANSLATE_NOOP("CommandHelp", "Colours: black red green yellow blue magenta cyan white, or a 0xBBGGRR number."),
     {kProject}, true, FULL(RunSetText)},
    {"set-interval", "set-interval PROJECT GROUP ITEM [--length N] [--background C]",
     QT_TRANSLATE_NOOP("CommandHelp", "an interval's length and colour"), nullptr,
     {{"--length", "N", QT_TRANSLATE_NOOP("CommandHelp", "columns, 1 to 300")},
      {"--background", "C", QT_TRANSLATE_NOOP("CommandHelp", "black red green yellow blue magenta cyan white, or 0xBBGGRR"),
       Completion::Words, kColours}},
     nullptr, {kProject}, false, FULL(RunSetInterval)},
    {"set-threshold", "set-threshold PROJECT GROUP ITEM R G B", QT_TRANSLATE_NOOP("CommandHelp", "an item's threshold colour"),
     QT_TRANSLATE_NOOP("CommandHelp", "Sets the item's threshold: R, G and B from 0 to 255."), {}, nullptr, {kProject}, false,
     FULL(RunSetThreshold)},
    {"set-dither", "set-dither PROJECT GROUP ITEM on|off", QT_TRANSLATE_NOOP("CommandHelp", "error diffusion for a picture or an animation"),
     QT_TRANSLATE_NOOP("CommandHelp", "Turns dithering on or off for a picture or an animation item: its LED image spreads each\n"
     "channel's rounding error to the neighbouring LEDs, so gradients survive eight colours.\n"
     "The item's thresholds still set how much lights. Off is the default."),
     {}, nullptr, {kProject, kFree, kFree, {Completion::Words, "on off"}}, false, FULL(RunSetDither)},
    };
    return rows;
}
// clang-format on

const CommandRow* FindCommand(const QString& name) {
    for (const CommandRow& row : Commands())
        if (name == QLatin1String(row.name)) return &row;
    return nullptr;
}

}  // namespace glowdeck
