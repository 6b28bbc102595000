<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AccessError</name>
    <message>
        <source>项目文件有误：%1</source>
        <translation>The project file is damaged: %1</translation>
    </message>
</context>
<context>
    <name>AdapterDetection</name>
    <message>
        <source>下载时请拔出其他USB扩展串口！</source>
        <translation>Unplug the other USB serial adapters while downloading!</translation>
    </message>
    <message>
        <source>检测到传送端口!</source>
        <translation>Transfer port found!</translation>
    </message>
</context>
<context>
    <name>AnimationConverter</name>
    <message>
        <source>映射错误！</source>
        <translation>Mapping error!</translation>
    </message>
</context>
<context>
    <name>AppDialogs</name>
    <message>
        <source>Project Files (*.prj)</source>
        <translation>Project Files (*.prj)</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>撤销 %1</source>
        <translation>Undo %1</translation>
    </message>
    <message>
        <source>重复</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>重复 %1</source>
        <translation>Redo %1</translation>
    </message>
</context>
<context>
    <name>CPaintWindow</name>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重复</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>CapacityChecks</name>
    <message>
        <source>组数已达上限！</source>
        <translation>The project already has the most groups it can hold!</translation>
    </message>
    <message>
        <source>请先添加一个组!</source>
        <translation>Add a group first!</translation>
    </message>
    <message>
        <source>总长度已达上限500k！</source>
        <translation>The total length has reached its limit of 500k!</translation>
    </message>
    <message>
        <source>元素数已达上限！</source>
        <translation>The group already has the most items it can hold!</translation>
    </message>
    <message>
        <source>单组动画最多为20幅！</source>
        <translation>A group holds at most 20 animations!</translation>
    </message>
</context>
<context>
    <name>CliMain</name>
    <message>
        <source>unknown command: %1 (glowdeck-cli --help lists the commands)</source>
        <translation>unknown command: %1 (glowdeck-cli --help lists the commands)</translation>
    </message>
    <message>
        <source>cannot start %1: %2</source>
        <translation>cannot start %1: %2</translation>
    </message>
    <message>
        <source>glowdeck-cli-full is not installed beside %1</source>
        <translation>glowdeck-cli-full is not installed beside %1</translation>
    </message>
</context>
<context>
    <name>CliProgress</name>
    <message>
        <source>  %1 left</source>
        <translation>  %1 left</translation>
    </message>
</context>
<context>
    <name>CliSupport</name>
    <message>
        <source>%1 takes a whole number from %2 to %3, not &quot;%4&quot;</source>
        <translation>%1 takes a whole number from %2 to %3, not &quot;%4&quot;</translation>
    </message>
    <message>
        <source>--ball takes 1 (single-layer) or 2 (double-layer), not %1</source>
        <translation>--ball takes 1 (single-layer) or 2 (double-layer), not %1</translation>
    </message>
    <message>
        <source>--layer takes inner or outer, not %1</source>
        <translation>--layer takes inner or outer, not %1</translation>
    </message>
    <message>
        <source>not a project folder: %1</source>
        <translation>not a project folder: %1</translation>
    </message>
    <message>
        <source>no Index.prj in %1</source>
        <translation>no Index.prj in %1</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>GLOWDECK_LOCK_WAIT takes seconds from 0 to %1 (a fraction allowed), not &quot;%2&quot;</source>
        <translation>GLOWDECK_LOCK_WAIT takes seconds from 0 to %1 (a fraction allowed), not &quot;%2&quot;</translation>
    </message>
</context>
<context>
    <name>ColumnAppender</name>
    <message>
        <source>数据文件未打开</source>
        <translation>The data file is not open</translation>
    </message>
    <message>
        <source>数据文件写入失败：
%1
%2</source>
        <translation>Cannot write the data file:
%1
%2</translation>
    </message>
</context>
<context>
    <name>CommandHelp</name>
    <message>
        <source>Exit status:
  0  success
  1  failure (the program&apos;s message on stderr)
  2  usage error: unknown command, missing argument or a value out of its range
</source>
        <translation>Exit status:
  0  success
  1  failure (the program&apos;s message on stderr)
  2  usage error: unknown command, missing argument or a value out of its range
</translation>
    </message>
    <message>
        <source>Usage: glowdeck-cli COMMAND [ARGUMENTS]
Edit, compile and download Glowdeck projects for the LED ball. PROJECT is a project
folder; group and item numbers count from 1.

Commands:
</source>
        <translation>Usage: glowdeck-cli COMMAND [ARGUMENTS]
Edit, compile and download Glowdeck projects for the LED ball. PROJECT is a project
folder; group and item numbers count from 1.

Commands:
</translation>
    </message>
    <message>
        <source>
Options:
  --help           this text; COMMAND --help shows one command with its options
  --version        the version

Environment:
  GLOWDECK_LOCK_WAIT  seconds (0 to 3600, default 60) a command waits for another
                      command that holds the project

</source>
        <translation>
Options:
  --help           this text; COMMAND --help shows one command with its options
  --version        the version

Environment:
  GLOWDECK_LOCK_WAIT  seconds (0 to 3600, default 60) a command waits for another
                      command that holds the project

</translation>
    </message>
    <message>
        <source>Usage: glowdeck-cli %1
%2
%3</source>
        <translation>Usage: glowdeck-cli %1
%2
%3</translation>
    </message>
    <message>
        <source>single-layer (1) or double-layer (2) ball; default: the &quot;TYPE&quot;
of setting.ini, else 1</source>
        <translation>single-layer (1) or double-layer (2) ball; default: the &quot;TYPE&quot;
of setting.ini, else 1</translation>
    </message>
    <message>
        <source>the layer of a double-layer ball; default outer</source>
        <translation>the layer of a double-layer ball; default outer</translation>
    </message>
    <message>
        <source>create a project folder DIR/NAME</source>
        <translation>create a project folder DIR/NAME</translation>
    </message>
    <message>
        <source>the project root that holds the project folders</source>
        <translation>the project root that holds the project folders</translation>
    </message>
    <message>
        <source>append a group</source>
        <translation>append a group</translation>
    </message>
    <message>
        <source>append an item to a group</source>
        <translation>append an item to a group</translation>
    </message>
    <message>
        <source>Appends an item with its placeholder image to group GROUP (counted from 1), checked
like the program&apos;s add commands (300 items a group, 20 animations, the data limit).</source>
        <translation>Appends an item with its placeholder image to group GROUP (counted from 1), checked
like the program&apos;s add commands (300 items a group, 20 animations, the data limit).</translation>
    </message>
    <message>
        <source>groups, items and the data size</source>
        <translation>groups, items and the data size</translation>
    </message>
    <message>
        <source>Prints the groups and their items (kind, name, id, length) and the data size.
Only reads: never waits for another program&apos;s lock.</source>
        <translation>Prints the groups and their items (kind, name, id, length) and the data size.
Only reads: never waits for another program&apos;s lock.</translation>
    </message>
    <message>
        <source>remove the image files no item uses</source>
        <translation>remove the image files no item uses</translation>
    </message>
    <message>
        <source>Removes every file in PROJECT/Images that no item uses any more (replaced or deleted
items&apos; images, files left by other programs) and prints each one and the total.
Links are removed, never what they point to; folders stay. Edits and deletions already
remove the files they no longer need.</source>
        <translation>Removes every file in PROJECT/Images that no item uses any more (replaced or deleted
items&apos; images, files left by other programs) and prints each one and the total.
Links are removed, never what they point to; folders stay. Edits and deletions already
remove the files they no longer need.</translation>
    </message>
    <message>
        <source>write PROJECT/data.bin</source>
        <translation>write PROJECT/data.bin</translation>
    </message>
    <message>
        <source>Compiles the project into PROJECT/data.bin; a failed compile keeps the previous one.
Items are converted on every core; items unchanged since an earlier compile come from
the column cache (~/.cache/glowdeck/columns).
Shows a progress bar when stderr is a terminal, else a line every 10 %.</source>
        <translation>Compiles the project into PROJECT/data.bin; a failed compile keeps the previous one.
Items are converted on every core; items unchanged since an earlier compile come from
the column cache (~/.cache/glowdeck/columns).
Shows a progress bar when stderr is a terminal, else a line every 10 %.</translation>
    </message>
    <message>
        <source>convert every item, neither reading nor filling the cache</source>
        <translation>convert every item, neither reading nor filling the cache</translation>
    </message>
    <message>
        <source>check a data.bin and show what it holds</source>
        <translation>check a data.bin and show what it holds</translation>
    </message>
    <message>
        <source>Prints the index of a data.bin (groups, offsets, column counts, animations with their
frames and delays) and checks every offset and the length against it.</source>
        <translation>Prints the index of a data.bin (groups, offsets, column counts, animations with their
frames and delays) and checks every offset and the length against it.</translation>
    </message>
    <message>
        <source>also draw each group&apos;s columns, one strip per group</source>
        <translation>also draw each group&apos;s columns, one strip per group</translation>
    </message>
    <message>
        <source>read the file as for this ball type</source>
        <translation>read the file as for this ball type</translation>
    </message>
    <message>
        <source>read the file as for this layer (inner: 14 bytes a column)</source>
        <translation>read the file as for this layer (inner: 14 bytes a column)</translation>
    </message>
    <message>
        <source>the compiled show as a picture or an animation</source>
        <translation>the compiled show as a picture or an animation</translation>
    </message>
    <message>
        <source>Draws the show from the compiled bytes, as the ball shows them. FILE.png is a still:
every group&apos;s columns as LED dots, one strip per group (or one ball per group).
FILE.gif and FILE.webp are animations: the strip with the animations&apos; frames at their
compiled delays (a group without animations for 2 s), or the turning ball, at least one
turn in at least 24 frames a group. A PROJECT that changed since its last compile is
compiled first.</source>
        <translation>Draws the show from the compiled bytes, as the ball shows them. FILE.png is a still:
every group&apos;s columns as LED dots, one strip per group (or one ball per group).
FILE.gif and FILE.webp are animations: the strip with the animations&apos; frames at their
compiled delays (a group without animations for 2 s), or the turning ball, at least one
turn in at least 24 frames a group. A PROJECT that changed since its last compile is
compiled first.</translation>
    </message>
    <message>
        <source>FILE.png, FILE.gif or FILE.webp</source>
        <translation>FILE.png, FILE.gif or FILE.webp</translation>
    </message>
    <message>
        <source>flat strips (default) or the ball</source>
        <translation>flat strips (default) or the ball</translation>
    </message>
    <message>
        <source>only group N (1 to 10); default: every group in turn</source>
        <translation>only group N (1 to 10); default: every group in turn</translation>
    </message>
    <message>
        <source>read the data as for this ball type (default: the &quot;TYPE&quot; of
setting.ini, else 1)</source>
        <translation>read the data as for this ball type (default: the &quot;TYPE&quot; of
setting.ini, else 1)</translation>
    </message>
    <message>
        <source>read the data as for this layer (default outer)</source>
        <translation>read the data as for this layer (default outer)</translation>
    </message>
    <message>
        <source>a strip&apos;s height or the ball&apos;s diameter, 56 to 4000 (default 224
for strips, 400 for the ball)</source>
        <translation>a strip&apos;s height or the ball&apos;s diameter, 56 to 4000 (default 224
for strips, 400 for the ball)</translation>
    </message>
    <message>
        <source>one turn of the ball, 0.5 to 60 seconds (default 4)</source>
        <translation>one turn of the ball, 0.5 to 60 seconds (default 4)</translation>
    </message>
    <message>
        <source>columns around the ball, 8 to 4096 (default 112)</source>
        <translation>columns around the ball, 8 to 4096 (default 112)</translation>
    </message>
    <message>
        <source>a double-layer ball: the inner layer&apos;s data.bin, shown inside the
outer ball (DATA.BIN or PROJECT) where the outer LEDs are dark</source>
        <translation>a double-layer ball: the inner layer&apos;s data.bin, shown inside the
outer ball (DATA.BIN or PROJECT) where the outer LEDs are dark</translation>
    </message>
    <message>
        <source>download to the ball</source>
        <translation>download to the ball</translation>
    </message>
    <message>
        <source>Downloads FILE (a data.bin) to the ball: init command, 8-second wait, numbered packets
with CRC, end command; about a minute and a half for a full ball. Shows a progress bar
with the time left when stderr is a terminal. Exits 0 only when the end command was
written.</source>
        <translation>Downloads FILE (a data.bin) to the ball: init command, 8-second wait, numbered packets
with CRC, end command; about a minute and a half for a full ball. Shows a progress bar
with the time left when stderr is a terminal. Exits 0 only when the end command was
written.</translation>
    </message>
    <message>
        <source>send the factory file instead: factory.bin, or factory1.bin (outer)
and factory2.bin (inner) of a double-layer ball, from the program&apos;s
folder or PREFIX/share/glowdeck</source>
        <translation>send the factory file instead: factory.bin, or factory1.bin (outer)
and factory2.bin (inner) of a double-layer ball, from the program&apos;s
folder or PREFIX/share/glowdeck</translation>
    </message>
    <message>
        <source>the serial device; default: the ball&apos;s adapter (USB vendor 067B)</source>
        <translation>the serial device; default: the ball&apos;s adapter (USB vendor 067B)</translation>
    </message>
    <message>
        <source>ball type; default: the &quot;TYPE&quot; of setting.ini, else 1</source>
        <translation>ball type; default: the &quot;TYPE&quot; of setting.ini, else 1</translation>
    </message>
    <message>
        <source>the serial ports, the ball&apos;s adapter marked</source>
        <translation>the serial ports, the ball&apos;s adapter marked</translation>
    </message>
    <message>
        <source>Lists the serial ports with their names; the ball&apos;s adapter is marked with *, and a
port that cannot be opened says why.</source>
        <translation>Lists the serial ports with their names; the ball&apos;s adapter is marked with *, and a
port that cannot be opened says why.</translation>
    </message>
    <message>
        <source>a virtual ball on a pseudo-terminal</source>
        <translation>a virtual ball on a pseudo-terminal</translation>
    </message>
    <message>
        <source>Receives one transfer on a pseudo-terminal and checks it as the ball would.</source>
        <translation>Receives one transfer on a pseudo-terminal and checks it as the ball would.</translation>
    </message>
    <message>
        <source>write what the ball would have stored to FILE</source>
        <translation>write what the ball would have stored to FILE</translation>
    </message>
    <message>
        <source>make PATH a link to the pseudo-terminal while it listens</source>
        <translation>make PATH a link to the pseudo-terminal while it listens</translation>
    </message>
    <message>
        <source>give up when no sender comes (0.1 to 86400); default: wait</source>
        <translation>give up when no sender comes (0.1 to 86400); default: wait</translation>
    </message>
    <message>
        <source>a picture&apos;s or an animation&apos;s source file</source>
        <translation>a picture&apos;s or an animation&apos;s source file</translation>
    </message>
    <message>
        <source>Copies FILE into the project under a fresh id. A picture stores width, height and
length (56 x width / height); an animation (GIF or animated WebP, at most 50 frames;
a WebP&apos;s frames are stored as a GIF) also its frames and delays. An animation of
more than 50 frames keeps its first 50 and says so. A video clip (MP4, WebM, MKV,
MOV, AVI) of at most 50 frames is taken whole, a longer one spread evenly to 50
frames over its length; its frames are stored as a GIF at most 240 rows high.</source>
        <translation>Copies FILE into the project under a fresh id. A picture stores width, height and
length (56 x width / height); an animation (GIF or animated WebP, at most 50 frames;
a WebP&apos;s frames are stored as a GIF) also its frames and delays. An animation of
more than 50 frames keeps its first 50 and says so. A video clip (MP4, WebM, MKV,
MOV, AVI) of at most 50 frames is taken whole, a longer one spread evenly to 50
frames over its length; its frames are stored as a GIF at most 240 rows high.</translation>
    </message>
    <message>
        <source>animation: spread N frames (1 to 50) evenly over its running
time, their delays keeping its total time</source>
        <translation>animation: spread N frames (1 to 50) evenly over its running
time, their delays keeping its total time</translation>
    </message>
    <message>
        <source>video: begin this far into the clip (before its end)</source>
        <translation>video: begin this far into the clip (before its end)</translation>
    </message>
    <message>
        <source>video: take this long a stretch (above 0; at most to the end)</source>
        <translation>video: take this long a stretch (above 0; at most to the end)</translation>
    </message>
    <message>
        <source>render a text item</source>
        <translation>render a text item</translation>
    </message>
    <message>
        <source>Renders TEXT (at most 200 characters; a longer text is refused) under a fresh id
and stores it. Characters that FACE lacks are drawn from a fallback font.</source>
        <translation>Renders TEXT (at most 200 characters; a longer text is refused) under a fresh id
and stores it. Characters that FACE lacks are drawn from a fallback font.</translation>
    </message>
    <message>
        <source>font family</source>
        <translation>font family</translation>
    </message>
    <message>
        <source>font size, 0 to 200</source>
        <translation>font size, 0 to 200</translation>
    </message>
    <message>
        <source>sum of 1 bold, 2 italic, 4 underline, 8 strike-out</source>
        <translation>sum of 1 bold, 2 italic, 4 underline, 8 strike-out</translation>
    </message>
    <message>
        <source>text colour</source>
        <translation>text colour</translation>
    </message>
    <message>
        <source>background colour</source>
        <translation>background colour</translation>
    </message>
    <message>
        <source>use the offsets below</source>
        <translation>use the offsets below</translation>
    </message>
    <message>
        <source>vertical (±50), Chinese (±50), English (±100) and punctuation (±200)
spacing</source>
        <translation>vertical (±50), Chinese (±50), English (±100) and punctuation (±200)
spacing</translation>
    </message>
    <message>
        <source>Colours: black red green yellow blue magenta cyan white, or a 0xBBGGRR number.</source>
        <translation>Colours: black red green yellow blue magenta cyan white, or a 0xBBGGRR number.</translation>
    </message>
    <message>
        <source>an interval&apos;s length and colour</source>
        <translation>an interval&apos;s length and colour</translation>
    </message>
    <message>
        <source>columns, 1 to 300</source>
        <translation>columns, 1 to 300</translation>
    </message>
    <message>
        <source>black red green yellow blue magenta cyan white, or 0xBBGGRR</source>
        <translation>black red green yellow blue magenta cyan white, or 0xBBGGRR</translation>
    </message>
    <message>
        <source>an item&apos;s threshold colour</source>
        <translation>an item&apos;s threshold colour</translation>
    </message>
    <message>
        <source>Sets the item&apos;s threshold: R, G and B from 0 to 255.</source>
        <translation>Sets the item&apos;s threshold: R, G and B from 0 to 255.</translation>
    </message>
    <message>
        <source>error diffusion for a picture or an animation</source>
        <translation>error diffusion for a picture or an animation</translation>
    </message>
    <message>
        <source>Turns dithering on or off for a picture or an animation item: its LED image spreads each
channel&apos;s rounding error to the neighbouring LEDs, so gradients survive eight colours.
The item&apos;s thresholds still set how much lights. Off is the default.</source>
        <translation>Turns dithering on or off for a picture or an animation item: its LED image spreads each
channel&apos;s rounding error to the neighbouring LEDs, so gradients survive eight colours.
The item&apos;s thresholds still set how much lights. Off is the default.</translation>
    </message>
</context>
<context>
    <name>CompileCommands</name>
    <message>
        <source>usage: glowdeck-cli compile PROJECT [--ball 1|2] [--layer inner|outer] [--no-cache]</source>
        <translation>usage: glowdeck-cli compile PROJECT [--ball 1|2] [--layer inner|outer] [--no-cache]</translation>
    </message>
    <message>
        <source>compiled %1: %2 groups, %3 items, %4 columns, %5 bytes (%6 of the ball&apos;s %7 bytes)</source>
        <translation>compiled %1: %2 groups, %3 items, %4 columns, %5 bytes (%6 of the ball&apos;s %7 bytes)</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>picture written to %1</source>
        <translation>picture written to %1</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli inspect FILE [--png OUT.png] [--ball 1|2] [--layer inner|outer]</source>
        <translation>usage: glowdeck-cli inspect FILE [--png OUT.png] [--ball 1|2] [--layer inner|outer]</translation>
    </message>
</context>
<context>
    <name>DeviceCommands</name>
    <message>
        <source>未连接上彩球！</source>
        <translation>Not connected to the ball!</translation>
    </message>
    <message>
        <source>还未编译！</source>
        <translation>Not compiled yet!</translation>
    </message>
    <message>
        <source>串口未打开: %1: %2</source>
        <translation>The serial port is not open: %1: %2</translation>
    </message>
    <message>
        <source>串口未打开: %1 hung up</source>
        <translation>The serial port is not open: %1 hung up</translation>
    </message>
    <message>
        <source>it is a FIFO (named pipe), not a file</source>
        <translation>it is a FIFO (named pipe), not a file</translation>
    </message>
    <message>
        <source>it is a character device, not a file</source>
        <translation>it is a character device, not a file</translation>
    </message>
    <message>
        <source>it is a block device, not a file</source>
        <translation>it is a block device, not a file</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>it is a socket, not a file</source>
        <translation>it is a socket, not a file</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli send FILE|--factory [--port DEVICE] [--ball 1|2] [--layer inner|outer]</source>
        <translation>usage: glowdeck-cli send FILE|--factory [--port DEVICE] [--ball 1|2] [--layer inner|outer]</translation>
    </message>
    <message>
        <source>--port takes a device path, such as /dev/ttyUSB0</source>
        <translation>--port takes a device path, such as /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>cannot read %1: no such file</source>
        <translation>cannot read %1: no such file</translation>
    </message>
    <message>
        <source>sending %1 to %2</source>
        <translation>sending %1 to %2</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli ports</source>
        <translation>usage: glowdeck-cli ports</translation>
    </message>
    <message>
        <source>no serial ports found</source>
        <translation>no serial ports found</translation>
    </message>
    <message>
        <source>  [cannot open: %1]</source>
        <translation>  [cannot open: %1]</translation>
    </message>
    <message>
        <source>* the ball&apos;s adapter</source>
        <translation>* the ball&apos;s adapter</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli ball [--out FILE] [--link PATH] [--wait SECONDS]</source>
        <translation>usage: glowdeck-cli ball [--out FILE] [--link PATH] [--wait SECONDS]</translation>
    </message>
    <message>
        <source>--wait takes seconds from 0.1 to %1, not &quot;%2&quot;</source>
        <translation>--wait takes seconds from 0.1 to %1, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>cannot open a pseudo-terminal: %1</source>
        <translation>cannot open a pseudo-terminal: %1</translation>
    </message>
    <message>
        <source>cannot make the link %1</source>
        <translation>cannot make the link %1</translation>
    </message>
    <message>
        <source>virtual ball listening on %1</source>
        <translation>virtual ball listening on %1</translation>
    </message>
    <message>
        <source>double-layer ball, inner layer</source>
        <translation>double-layer ball, inner layer</translation>
    </message>
    <message>
        <source>double-layer ball, outer layer</source>
        <translation>double-layer ball, outer layer</translation>
    </message>
    <message>
        <source>single-layer ball</source>
        <translation>single-layer ball</translation>
    </message>
    <message>
        <source>init command for a %1; %2 packets, %3 bytes; init wait %4 s; shortest gap %5 ms</source>
        <translation>init command for a %1; %2 packets, %3 bytes; init wait %4 s; shortest gap %5 ms</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>transfer failed: %1</source>
        <translation>transfer failed: %1</translation>
    </message>
    <message>
        <source>transfer complete: the ball would have stored %1 bytes</source>
        <translation>transfer complete: the ball would have stored %1 bytes</translation>
    </message>
</context>
<context>
    <name>EditCommands</name>
    <message>
        <source>文字最多 %1 个字符，这段文字有 %2 个</source>
        <translation>A text holds at most %1 characters; this one has %2</translation>
    </message>
    <message>
        <source>no item %1 in group %2</source>
        <translation>no item %1 in group %2</translation>
    </message>
    <message>
        <source>%1 takes seconds %2 %3 (a fraction allowed), not &quot;%4&quot;</source>
        <translation>%1 takes seconds %2 %3 (a fraction allowed), not &quot;%4&quot;</translation>
    </message>
    <message>
        <source>above 0 up to</source>
        <translation>above 0 up to</translation>
    </message>
    <message>
        <source>from 0 to</source>
        <translation>from 0 to</translation>
    </message>
    <message>
        <source>--start and --duration take a video clip (MP4, WebM, MKV, MOV, AVI)</source>
        <translation>--start and --duration take a video clip (MP4, WebM, MKV, MOV, AVI)</translation>
    </message>
    <message>
        <source>--start %1 is past the end of the clip (%2 seconds)</source>
        <translation>--start %1 is past the end of the clip (%2 seconds)</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli set-source PROJECT GROUP ITEM FILE [--frames N] [--start SECONDS] [--duration SECONDS]</source>
        <translation>usage: glowdeck-cli set-source PROJECT GROUP ITEM FILE [--frames N] [--start SECONDS] [--duration SECONDS]</translation>
    </message>
    <message>
        <source>%1 take%2 an animation item</source>
        <translation>%1 take%2 an animation item</translation>
    </message>
    <message>
        <source>--start and --duration</source>
        <translation>--start and --duration</translation>
    </message>
    <message>
        <source>set-source takes a picture or an animation item</source>
        <translation>set-source takes a picture or an animation item</translation>
    </message>
    <message>
        <source>%1: not a colour: %2</source>
        <translation>%1: not a colour: %2</translation>
    </message>
    <message>
        <source>--offsets: &quot;%1&quot; is not a number from %2 to %3</source>
        <translation>--offsets: &quot;%1&quot; is not a number from %2 to %3</translation>
    </message>
    <message>
        <source>--offsets takes VERTICAL,CHINESE,ENGLISH,PUNCTUATION</source>
        <translation>--offsets takes VERTICAL,CHINESE,ENGLISH,PUNCTUATION</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli set-text PROJECT GROUP ITEM TEXT [--font FACE] [--size N] [--style N] [--color C] [--background C] [--manual-spacing] [--offsets V,C,E,P]</source>
        <translation>usage: glowdeck-cli set-text PROJECT GROUP ITEM TEXT [--font FACE] [--size N] [--style N] [--color C] [--background C] [--manual-spacing] [--offsets V,C,E,P]</translation>
    </message>
    <message>
        <source>TEXT is not valid UTF-8</source>
        <translation>TEXT is not valid UTF-8</translation>
    </message>
    <message>
        <source>set-text takes a text item</source>
        <translation>set-text takes a text item</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli set-interval PROJECT GROUP ITEM [--length N] [--background C]</source>
        <translation>usage: glowdeck-cli set-interval PROJECT GROUP ITEM [--length N] [--background C]</translation>
    </message>
    <message>
        <source>set-interval takes an interval item</source>
        <translation>set-interval takes an interval item</translation>
    </message>
    <message>
        <source>--length takes %1 to %2</source>
        <translation>--length takes %1 to %2</translation>
    </message>
    <message>
        <source>not a colour: %1</source>
        <translation>not a colour: %1</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli set-threshold PROJECT GROUP ITEM R G B</source>
        <translation>usage: glowdeck-cli set-threshold PROJECT GROUP ITEM R G B</translation>
    </message>
    <message>
        <source>R, G and B take 0 to 255</source>
        <translation>R, G and B take 0 to 255</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli set-dither PROJECT GROUP ITEM on|off</source>
        <translation>usage: glowdeck-cli set-dither PROJECT GROUP ITEM on|off</translation>
    </message>
    <message>
        <source>set-dither takes on or off, not %1</source>
        <translation>set-dither takes on or off, not %1</translation>
    </message>
    <message>
        <source>set-dither takes a picture or an animation item</source>
        <translation>set-dither takes a picture or an animation item</translation>
    </message>
</context>
<context>
    <name>EditStep</name>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>选择源文件</source>
        <translation>Choose source</translation>
    </message>
    <message>
        <source>确认文字</source>
        <translation>Confirm text</translation>
    </message>
    <message>
        <source>应用间隔</source>
        <translation>Apply interval</translation>
    </message>
    <message>
        <source>置换图片</source>
        <translation>Replace picture</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>%1“%2”</source>
        <extracomment>An undo step: %1 what it did, %2 the name of the group or item.</extracomment>
        <translation>%1 “%2”</translation>
    </message>
</context>
<context>
    <name>FramePlayer</name>
    <message>
        <source>只有1帧！</source>
        <translation>There is only one frame!</translation>
    </message>
</context>
<context>
    <name>GlowdeckDoc</name>
    <message>
        <source>编译后，可以向彩球发送编译数据！</source>
        <translation>Once compiled, the data can be sent to the ball!</translation>
    </message>
    <message>
        <source>项目名称不能含有路径：%1</source>
        <translation>A project name cannot contain a path: %1</translation>
    </message>
    <message>
        <source>项目文件夹已存在或无法建立：%1/</source>
        <translation>The project folder already exists or cannot be created: %1/</translation>
    </message>
    <message>
        <source>无法建立图像文件夹：%1</source>
        <translation>Cannot create the image folder: %1</translation>
    </message>
    <message>
        <source>项目文件保存失败：
%1
%2</source>
        <translation>Cannot save the project file:
%1
%2</translation>
    </message>
    <message>
        <source>项目文件无法读取：
%1
%2</source>
        <translation>Cannot read the project file:
%1
%2</translation>
    </message>
    <message>
        <source>项目文件无法读取，现以空项目打开（原文件在首次保存前另存为 .bak）：
%1
%2</source>
        <translation>Cannot read the project file; it is opened as an empty project (the original is kept as .bak before the first save):
%1
%2</translation>
    </message>
    <message>
        <source>没有打开的项目</source>
        <translation>No project is open</translation>
    </message>
    <message>
        <source>图像文件保存失败：
%1
%2</source>
        <translation>Cannot save the image file:
%1
%2</translation>
    </message>
    <message>
        <source>没有可撤销的操作</source>
        <translation>Nothing to undo</translation>
    </message>
    <message>
        <source>撤销失败，项目保持原样：
%1</source>
        <translation>Undo failed; the project is unchanged:
%1</translation>
    </message>
    <message>
        <source>没有可重复的操作</source>
        <translation>Nothing to redo</translation>
    </message>
    <message>
        <source>重复失败，项目保持原样：
%1</source>
        <translation>Redo failed; the project is unchanged:
%1</translation>
    </message>
    <message>
        <source>项目未锁定，图像文件不清除：%1</source>
        <translation>The project is not locked; image files are not cleared: %1</translation>
    </message>
    <message>
        <source>项目文件无法读取，图像文件不清除：%1</source>
        <translation>Cannot read the project file; image files are not cleared: %1</translation>
    </message>
    <message>
        <source>无法删除：%1</source>
        <translation>Cannot delete: %1</translation>
    </message>
</context>
<context>
    <name>ImageUse</name>
    <message>
        <source>图像文件夹不是项目中的文件夹（是链接或文件），其中的文件不清除：%1</source>
        <translation>The image folder is not a folder of the project (it is a link or a file); its files are not cleared: %1</translation>
    </message>
    <message>
        <source>无法读取图像文件夹：%1</source>
        <translation>Cannot read the image folder: %1</translation>
    </message>
    <message>
        <source>无法删除：
%1</source>
        <translation>Cannot delete:
%1</translation>
    </message>
</context>
<context>
    <name>IndexBuilder</name>
    <message>
        <source>重复调用计算！</source>
        <translation>The calculation was run twice!</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>设置文件无法读取，现用默认设置：
%1
%2</source>
        <translation>Cannot read the settings file; using the default settings:
%1
%2</translation>
    </message>
</context>
<context>
    <name>ItemKind</name>
    <message>
        <source>新建图片</source>
        <translation>New picture</translation>
    </message>
    <message>
        <source>新建动画</source>
        <translation>New animation</translation>
    </message>
    <message>
        <source>新建文字</source>
        <translation>New text</translation>
    </message>
    <message>
        <source>间隔</source>
        <translation>Interval</translation>
    </message>
</context>
<context>
    <name>ItemOperations</name>
    <message>
        <source>无法复制 %1 到 %2：%3</source>
        <translation>Cannot copy %1 to %2: %3</translation>
    </message>
    <message>
        <source>图像文件保存失败：
%1
%2</source>
        <translation>Cannot save the image file:
%1
%2</translation>
    </message>
    <message>
        <source>无法使用 %1：%2</source>
        <translation>Cannot use %1: %2</translation>
    </message>
    <message>
        <source>动画共 %1 帧，只使用前 %2 帧</source>
        <translation>The animation has %1 frames; only the first %2 are used</translation>
    </message>
    <message>
        <source>无法生成此种文字！</source>
        <translation>Cannot render this text!</translation>
    </message>
    <message>
        <source>图像文件读取失败：
%1</source>
        <translation>Cannot read the image file:
%1</translation>
    </message>
    <message>
        <source>没有可置换的图片</source>
        <translation>No picture to replace</translation>
    </message>
</context>
<context>
    <name>ItemTemplate</name>
    <message>
        <source>新建组</source>
        <translation>New group</translation>
    </message>
    <message>
        <source>新文字</source>
        <translation>New text</translation>
    </message>
</context>
<context>
    <name>LedColours</name>
    <message>
        <source>黑</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>红</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>黄</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>蓝</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>紫</source>
        <translation>Magenta</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>白</source>
        <translation>White</translation>
    </message>
</context>
<context>
    <name>Placeholder</name>
    <message>
        <source>空白</source>
        <translation>Blank</translation>
    </message>
</context>
<context>
    <name>PortAccess</name>
    <message>
        <source>%1（进程 %2）</source>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>brltty 是盲文点显器服务，会占用部分USB串口。不用点显器时可卸载它：sudo apt remove brltty</source>
        <translation>brltty is the braille display service and takes some USB serial ports. Without a braille display you can remove it: sudo apt remove brltty</translation>
    </message>
    <message>
        <source>ModemManager 会试探新插入的串口。可暂时停止它：sudo systemctl stop ModemManager</source>
        <translation>ModemManager probes newly plugged serial ports. You can stop it for now: sudo systemctl stop ModemManager</translation>
    </message>
    <message>
        <source>请先关闭该程序，再打开串口。</source>
        <translation>Close that program first, then open the port.</translation>
    </message>
    <message>
        <source>串口 %1 已不存在：设备可能已拔出。请重新插好USB线缆，再打开传送端口。</source>
        <translation>Serial port %1 no longer exists: the device may have been unplugged. Plug the USB cable in again, then open the transfer port.</translation>
    </message>
    <message>
        <source>没有权限打开串口 %1。</source>
        <translation>No permission to open serial port %1.</translation>
    </message>
    <message>
        <source>没有权限打开串口 %1：您已加入 %2 组，但需要注销后重新登录才生效。</source>
        <translation>No permission to open serial port %1: you have joined the %2 group, but this takes effect only after you log out and in again.</translation>
    </message>
    <message>
        <source>没有权限打开串口 %1：当前用户不在 %2 组。
请运行 sudo usermod -aG %2 $USER，然后注销并重新登录。</source>
        <translation>No permission to open serial port %1: you are not in the %2 group.
Run sudo usermod -aG %2 $USER, then log out and in again.</translation>
    </message>
    <message>
        <source>没有权限打开串口 %1（设备的权限不允许读写）。</source>
        <translation>No permission to open serial port %1 (the device&apos;s permissions allow no reading and writing).</translation>
    </message>
    <message>
        <source>串口 %1 正被其他程序占用（常见的是 brltty 或 ModemManager）。
可用 sudo fuser -v %1 查看占用它的程序。</source>
        <translation>Serial port %1 is in use by another program (often brltty or ModemManager).
sudo fuser -v %1 shows which program holds it.</translation>
    </message>
    <message>
        <source>串口 %1 正被其他程序占用：%2。
%3</source>
        <translation>Serial port %1 is in use by another program: %2.
%3</translation>
    </message>
    <message>
        <source>%1 不是串口设备。</source>
        <translation>%1 is not a serial port.</translation>
    </message>
    <message>
        <source>打开串口 %1 失败：%2</source>
        <translation>Cannot open serial port %1: %2</translation>
    </message>
</context>
<context>
    <name>PortAdvice</name>
    <message>
        <source>ask the administrator for access (its group may not use it)</source>
        <translation>ask the administrator for access (its group may not use it)</translation>
    </message>
    <message>
        <source>ask the administrator why the %1 group may not open it</source>
        <translation>ask the administrator why the %1 group may not open it</translation>
    </message>
    <message>
        <source>log out and in again: your user joined the %1 group since logging in</source>
        <translation>log out and in again: your user joined the %1 group since logging in</translation>
    </message>
    <message>
        <source>add your user to the %1 group (sudo usermod -aG %1 $USER) and log in again</source>
        <translation>add your user to the %1 group (sudo usermod -aG %1 $USER) and log in again</translation>
    </message>
    <message>
        <source>no permission to open it: %1</source>
        <translation>no permission to open it: %1</translation>
    </message>
    <message>
        <source>no permission to open it: install Glowdeck&apos;s udev rule (%1, in the package) and replug the adapter, or %2</source>
        <translation>no permission to open it: install Glowdeck&apos;s udev rule (%1, in the package) and replug the adapter, or %2</translation>
    </message>
    <message>
        <source>no permission to open it: Glowdeck&apos;s udev rule is installed but gives the port only to the user logged in at the desktop (replug the adapter if it was plugged in before the rule came); or %1</source>
        <translation>no permission to open it: Glowdeck&apos;s udev rule is installed but gives the port only to the user logged in at the desktop (replug the adapter if it was plugged in before the rule came); or %1</translation>
    </message>
    <message>
        <source>another program holds it</source>
        <translation>another program holds it</translation>
    </message>
    <message>
        <source>the device is not there (unplugged?)</source>
        <translation>the device is not there (unplugged?)</translation>
    </message>
</context>
<context>
    <name>PortKind</name>
    <message>
        <source>%1 是控制台终端，不是串口，不会向它发送数据。</source>
        <translation>%1 is a console, not a serial port; nothing is sent to it.</translation>
    </message>
    <message>
        <source>%1 是终端，但不是串口，不会向它发送数据。</source>
        <translation>%1 is a terminal but not a serial port; nothing is sent to it.</translation>
    </message>
    <message>
        <source>%1 不是串口设备。</source>
        <translation>%1 is not a serial port.</translation>
    </message>
</context>
<context>
    <name>ProjectCommands</name>
    <message>
        <source>unknown &lt;%1&gt;</source>
        <translation>unknown &lt;%1&gt;</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli new --root DIR NAME</source>
        <translation>usage: glowdeck-cli new --root DIR NAME</translation>
    </message>
    <message>
        <source>NAME is the project&apos;s folder name under DIR, without &quot;/&quot;, &quot;\&quot; or &quot;..&quot;: %1</source>
        <translation>NAME is the project&apos;s folder name under DIR, without &quot;/&quot;, &quot;\&quot; or &quot;..&quot;: %1</translation>
    </message>
    <message>
        <source>created %1</source>
        <translation>created %1</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli add-group PROJECT [NAME]</source>
        <translation>usage: glowdeck-cli add-group PROJECT [NAME]</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli add PROJECT GROUP picture|animation|text|interval [NAME]</source>
        <translation>usage: glowdeck-cli add PROJECT GROUP picture|animation|text|interval [NAME]</translation>
    </message>
    <message>
        <source>unknown item kind: %1</source>
        <translation>unknown item kind: %1</translation>
    </message>
    <message>
        <source>GROUP takes 1 to %1, not %2</source>
        <translation>GROUP takes 1 to %1, not %2</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli list PROJECT</source>
        <translation>usage: glowdeck-cli list PROJECT</translation>
    </message>
    <message>
        <source> %1 id=%2 length=%3</source>
        <translation> %1 id=%2 length=%3</translation>
    </message>
    <message>
        <source> (damaged: %1)</source>
        <translation> (damaged: %1)</translation>
    </message>
    <message>
        <source>usage: glowdeck-cli clean PROJECT</source>
        <translation>usage: glowdeck-cli clean PROJECT</translation>
    </message>
    <message>
        <source>removed Images/%1</source>
        <translation>removed Images/%1</translation>
    </message>
    <message>
        <source>%1 %2 removed, %3 bytes</source>
        <translation>%1 %2 removed, %3 bytes</translation>
    </message>
</context>
<context>
    <name>ProjectCompiler</name>
    <message>
        <source>第%1组第%2项的%3为 %4，超出范围 %5..%6，无法编译</source>
        <translation>Group %1, item %2: %3 is %4, outside %5..%6; cannot compile</translation>
    </message>
    <message>
        <source>索引文件未打开：%1（%2）</source>
        <translation>The index file is not open: %1 (%2)</translation>
    </message>
    <message>
        <source>数据文件写入失败：
%1</source>
        <translation>Cannot write the data file:
%1</translation>
    </message>
    <message>
        <source>“interval”第%1个值</source>
        <translation>value %1 of “interval”</translation>
    </message>
    <message>
        <source>第%1组有超过 %2 个动画，无法编译</source>
        <translation>Group %1 has more than %2 animations; cannot compile</translation>
    </message>
    <message>
        <source>数据过大，索引无法表示（%1 字节）</source>
        <translation>Too much data for the index (%1 bytes)</translation>
    </message>
    <message>
        <source>数据共 %1 字节，超过彩球的存储空间 %2 字节，无法编译</source>
        <translation>The data is %1 bytes, more than the ball&apos;s %2 bytes of storage; cannot compile</translation>
    </message>
    <message>
        <source>索引文件未打开</source>
        <translation>The index file is not open</translation>
    </message>
    <message>
        <source>数据文件未打开</source>
        <translation>The data file is not open</translation>
    </message>
    <message>
        <source>数据文件写入失败：
%1
%2</source>
        <translation>Cannot write the data file:
%1
%2</translation>
    </message>
</context>
<context>
    <name>ProjectLock</name>
    <message>
        <source>另一个程序</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>%1（进程 %2）</source>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>项目锁文件无法使用，项目不能修改：%1（%2）</source>
        <translation>The project lock file cannot be used, so the project cannot be changed: %1 (%2)</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>项目已在桌面程序 Glowdeck 中打开（%1），请先在桌面程序中关闭它：
%2</source>
        <translation>The project is open in the desktop program Glowdeck (%1); close it there first:
%2</translation>
    </message>
    <message>
        <source>项目正被 %1 修改，请稍后再打开：
%2</source>
        <translation>The project is being changed by %1; open it again later:
%2</translation>
    </message>
    <message>
        <source>项目正被 %1 使用，等待 %2 秒后仍未释放：
%3</source>
        <translation>The project is in use by %1 and was not released after %2 seconds:
%3</translation>
    </message>
</context>
<context>
    <name>ProjectStart</name>
    <message>
        <source>找不到项目：%1</source>
        <translation>Project not found: %1</translation>
    </message>
</context>
<context>
    <name>RenderCommands</name>
    <message>
        <source>changed since its last compile: compiled %1 (%2 bytes)</source>
        <translation>changed since its last compile: compiled %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>a long animation loop is cut to its first 2000 frames</source>
        <translation>a long animation loop is cut to its first 2000 frames</translation>
    </message>
    <message>
        <source>--turn-seconds takes seconds from 0.5 to 60, not &quot;%1&quot;</source>
        <translation>--turn-seconds takes seconds from 0.5 to 60, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>render needs --out FILE</source>
        <translation>render needs --out FILE</translation>
    </message>
    <message>
        <source>--view takes strip or ball, not &quot;%1&quot;</source>
        <translation>--view takes strip or ball, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--out names a .png, .gif or .webp file, not &quot;%1&quot;</source>
        <translation>--out names a .png, .gif or .webp file, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--inner shows the inner ball: it needs --view ball</source>
        <translation>--inner shows the inner ball: it needs --view ball</translation>
    </message>
    <message>
        <source>--inner is for a double-layer ball (--ball 2)</source>
        <translation>--inner is for a double-layer ball (--ball 2)</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 holds no group to show</source>
        <translation>%1 holds no group to show</translation>
    </message>
    <message>
        <source>--group %1: the show has %2 groups</source>
        <translation>--group %1: the show has %2 groups</translation>
    </message>
    <message>
        <source>cannot encode %1</source>
        <translation>cannot encode %1</translation>
    </message>
    <message>
        <source>cannot encode %1: %2</source>
        <translation>cannot encode %1: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>wrote %1: %2</source>
        <translation>wrote %1: %2</translation>
    </message>
</context>
<context>
    <name>SendController</name>
    <message>
        <source>恢复出厂文件</source>
        <translation>Restore factory file</translation>
    </message>
    <message>
        <source>发送数据</source>
        <translation>Send data</translation>
    </message>
    <message>
        <source>还未编译！</source>
        <translation>Not compiled yet!</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>The serial port is not open</translation>
    </message>
    <message>
        <source>初始化设备进程......</source>
        <translation>Initialising the device...</translation>
    </message>
    <message>
        <source>发送进程......</source>
        <translation>Sending...</translation>
    </message>
</context>
<context>
    <name>SendWorker</name>
    <message>
        <source>发送失败！</source>
        <translation>Sending failed!</translation>
    </message>
    <message>
        <source>数据文件未打开</source>
        <translation>The data file is not open</translation>
    </message>
    <message>
        <source>第%1个数据包已发送！</source>
        <translation>Packet %1 sent!</translation>
    </message>
    <message>
        <source>发送完毕!</source>
        <translation>Sending complete!</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>写入超时：%1 秒内数据没有送出（另一端没有接收数据），发送停止。</source>
        <translation>Write timeout: no data went out within %1 s (the other end is not receiving); sending stopped.</translation>
    </message>
</context>
<context>
    <name>SourceDialog</name>
    <message>
        <source>图像 (*.jpg *.jpeg *.png *.bmp *.gif *.webp *.tif *.tiff)</source>
        <translation>Images (*.jpg *.jpeg *.png *.bmp *.gif *.webp *.tif *.tiff)</translation>
    </message>
    <message>
        <source>动画 (*.gif *.webp *.mp4 *.webm *.mkv *.mov *.avi)</source>
        <translation>Animations (*.gif *.webp *.mp4 *.webm *.mkv *.mov *.avi)</translation>
    </message>
</context>
<context>
    <name>TextConverter</name>
    <message>
        <source>无法生成此种文字！（没有字体能显示“%1”）</source>
        <translation>Cannot render this text! (No font can show “%1”)</translation>
    </message>
    <message>
        <source>无法生成此种文字！</source>
        <translation>Cannot render this text!</translation>
    </message>
    <message>
        <source>图像文件保存失败：
%1
%2</source>
        <translation>Cannot save the image file:
%1
%2</translation>
    </message>
</context>
<context>
    <name>TreeRules</name>
    <message>
        <source>目标组元素数已达上限！</source>
        <translation>The target group already has the most items it can hold!</translation>
    </message>
    <message>
        <source>单组动画最多为20幅！</source>
        <translation>A group holds at most 20 animations!</translation>
    </message>
    <message>
        <source>组数已达上限！</source>
        <translation>The project already has the most groups it can hold!</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>动画</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>%1_%2组_%3号</source>
        <translation>%1_group %2_no. %3</translation>
    </message>
</context>
<context>
    <name>glowdeck::CChoiceDlg</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>彩球类型</source>
        <translation>Ball type</translation>
    </message>
    <message>
        <source>单层球</source>
        <translation>Single-layer ball</translation>
    </message>
    <message>
        <source>双层球</source>
        <translation>Double-layer ball</translation>
    </message>
    <message>
        <source>请选择彩球类型！</source>
        <translation>Choose the ball type!</translation>
    </message>
    <message>
        <source>选择层</source>
        <translation>Choose layer</translation>
    </message>
    <message>
        <source>内层</source>
        <translation>Inner layer</translation>
    </message>
    <message>
        <source>外层</source>
        <translation>Outer layer</translation>
    </message>
    <message>
        <source>必须选择内外球！</source>
        <translation>Choose the inner or the outer layer!</translation>
    </message>
</context>
<context>
    <name>glowdeck::CCompileDlg</name>
    <message>
        <source>编译</source>
        <translation>Compile</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>编译进度：</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>编译文件：</source>
        <translation>Compiling:</translation>
    </message>
</context>
<context>
    <name>glowdeck::CFontColourDlg</name>
    <message>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
</context>
<context>
    <name>glowdeck::CItemView</name>
    <message>
        <source>图像信息</source>
        <translation>Image information</translation>
    </message>
    <message>
        <source>图像文件ID：</source>
        <translation>Image file ID:</translation>
    </message>
</context>
<context>
    <name>glowdeck::CMainFrame</name>
    <message>
        <source>项目</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>图像列表</source>
        <translation>Image list</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>List</translation>
    </message>
    <message>
        <source>工程路径</source>
        <translation>Project path</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新建(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>打开(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>单层球</source>
        <translation>Single-layer ball</translation>
    </message>
    <message>
        <source>双层球</source>
        <translation>Double-layer ball</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>撤销(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>重复(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重复</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>功能(&amp;F)</source>
        <translation>F&amp;unctions</translation>
    </message>
    <message>
        <source>添加群组(&amp;Q)</source>
        <translation>Add &amp;group</translation>
    </message>
    <message>
        <source>添加图片(&amp;T)</source>
        <translation>Add &amp;picture</translation>
    </message>
    <message>
        <source>添加动画(&amp;D)</source>
        <translation>Add &amp;animation</translation>
    </message>
    <message>
        <source>添加文字(&amp;W)</source>
        <translation>Add &amp;text</translation>
    </message>
    <message>
        <source>添加间隔(&amp;J)</source>
        <translation>Add &amp;interval</translation>
    </message>
    <message>
        <source>计算长度(&amp;S)</source>
        <translation>Calculate &amp;length</translation>
    </message>
    <message>
        <source>清除临时文件(&amp;C)</source>
        <translation>&amp;Clear temporary files</translation>
    </message>
    <message>
        <source>编译数据(&amp;B)</source>
        <translation>Co&amp;mpile data</translation>
    </message>
    <message>
        <source>发送数据(&amp;F)</source>
        <translation>&amp;Send data</translation>
    </message>
    <message>
        <source>放映</source>
        <translation>Sho&amp;w</translation>
    </message>
    <message>
        <source>编译图像数据
编译</source>
        <translation>Compile the image data
Compile</translation>
    </message>
    <message>
        <source>发送数据到Orbilux
发送</source>
        <translation>Send the data to the Orbilux
Send</translation>
    </message>
    <message>
        <source>放映编译好的数据，平面和球面
放映</source>
        <translation>Play the compiled data, flat and on the ball
Show</translation>
    </message>
    <message>
        <source>新建组
组</source>
        <translation>New group
Group</translation>
    </message>
    <message>
        <source>插入图片
图片</source>
        <translation>Insert a picture
Picture</translation>
    </message>
    <message>
        <source>插入动画
动画</source>
        <translation>Insert an animation
Animation</translation>
    </message>
    <message>
        <source>插入文字
文字</source>
        <translation>Insert a text
Text</translation>
    </message>
    <message>
        <source>插入间隔
间隔</source>
        <translation>Insert an interval
Interval</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbars</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message>
        <source>程序外观(&amp;A)</source>
        <translation>&amp;Appearance</translation>
    </message>
    <message>
        <source>显示主页面(&amp;X)</source>
        <translation>Show &amp;main page</translation>
    </message>
    <message>
        <source>内外层选择(&amp;S)</source>
        <translation>&amp;Layer</translation>
    </message>
    <message>
        <source>内层(&amp;I)</source>
        <translation>&amp;Inner layer</translation>
    </message>
    <message>
        <source>外层(&amp;O)</source>
        <translation>&amp;Outer layer</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>帮助文档(&amp;H)</source>
        <translation>&amp;User guide</translation>
    </message>
    <message>
        <source>恢复出厂文件(&amp;R)</source>
        <translation>&amp;Restore factory file</translation>
    </message>
    <message>
        <source>关于&quot;Orbilux图文软件&quot;(&amp;A)...</source>
        <translation>&amp;About &quot;Orbilux Picture and Text Software&quot;...</translation>
    </message>
    <message>
        <source>Glowdeck %1
Orbilux 彩球图文编辑与下载</source>
        <translation>Glowdeck %1
Picture and text editor and downloader for the Orbilux ball</translation>
    </message>
    <message>
        <source>关于 Glowdeck</source>
        <translation>About Glowdeck</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>设置文件保存失败：
%1
%2</source>
        <translation>Cannot save the settings file:
%1
%2</translation>
    </message>
    <message>
        <source>编译完成：data.bin 共 %1 字节（列数据加索引），占彩球存储空间（%2 字节）的 %3%</source>
        <translation>Compiled: data.bin has %1 bytes (column data and index), %3% of the ball&apos;s storage (%2 bytes)</translation>
    </message>
    <message>
        <source>编译失败：data.bin 保持原样</source>
        <translation>Compiling failed: data.bin is unchanged</translation>
    </message>
    <message>
        <source>编译已取消：data.bin 保持原样</source>
        <translation>Compiling cancelled: data.bin is unchanged</translation>
    </message>
    <message>
        <source>目前占用了%1内存,占总内存数量的百分之%2！</source>
        <translation>%1 bytes of memory in use, %2% of the total!</translation>
    </message>
    <message>
        <source>
（各项的列数据，每列 21 字节；编译出的 data.bin 另含索引，故略大）</source>
        <translation>
(the items&apos; column data, 21 bytes a column; the compiled data.bin also holds an index, so it is slightly larger)</translation>
    </message>
    <message>
        <source>没有需要清除的文件。</source>
        <translation>There are no files to clear.</translation>
    </message>
    <message>
        <source>已清除 %1 个未使用的图像文件，共 %2 字节。</source>
        <translation>Cleared %1 unused image files, %2 bytes in all.</translation>
    </message>
    <message>
        <source>恢复出厂配置将删除当前球内数据，是否继续进行？</source>
        <translation>Restoring the factory configuration deletes the data in the ball. Continue?</translation>
    </message>
    <message>
        <source>帮助文档</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>是否要退出？</source>
        <translation>Do you want to exit?</translation>
    </message>
    <message>
        <source>组</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>glowdeck::CNewProjectDlg</name>
    <message>
        <source>新建项目</source>
        <translation>New project</translation>
    </message>
    <message>
        <source>新建项目名称</source>
        <translation>Name of the new project</translation>
    </message>
    <message>
        <source>确定建立</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>取消建立</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>项目文件夹已存在或无法建立：%1/</source>
        <translation>The project folder already exists or cannot be created: %1/</translation>
    </message>
    <message>
        <source>项目名称不能含有路径：%1</source>
        <translation>A project name cannot contain a path: %1</translation>
    </message>
</context>
<context>
    <name>glowdeck::CProjectTree</name>
    <message>
        <source>确定删除组“%1”及其全部内容？</source>
        <translation>Delete group “%1” and everything in it?</translation>
    </message>
    <message>
        <source>添加组</source>
        <translation>Add group</translation>
    </message>
    <message>
        <source>添加图片</source>
        <translation>Add picture</translation>
    </message>
    <message>
        <source>添加动画</source>
        <translation>Add animation</translation>
    </message>
    <message>
        <source>添加文字</source>
        <translation>Add text</translation>
    </message>
    <message>
        <source>添加间隔</source>
        <translation>Add interval</translation>
    </message>
    <message>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>glowdeck::CSendDlg</name>
    <message>
        <source>1、使用提供的USB线缆连接电脑及Orbilux。</source>
        <translation>1. Connect the computer and the Orbilux with the USB cable supplied.</translation>
    </message>
    <message>
        <source>2、点击界面上的“打开传送端口”按钮，如操作成功界面上的端口指示灯将绿色显示，否则拔掉USB线缆重新操作。</source>
        <translation>2. Click “Open transfer port”. When it succeeds the port light turns green; otherwise unplug the USB cable and try again.</translation>
    </message>
    <message>
        <source>3、接通彩球电源，须在电机停转的情况下开机，将有八组绿色LED显示，提示进入下载模式。</source>
        <translation>3. Switch the ball on with the motor stopped: eight groups of green LEDs light up to show download mode.</translation>
    </message>
    <message>
        <source>4、点击界面上的“发送”按钮，首先进入初始化设备进程，彩球LED将全部熄灭，否则初始化设备失败须重新操作。</source>
        <translation>4. Click “Send”. The device is initialised first and all the ball&apos;s LEDs go out; if they do not, initialising failed: try again.</translation>
    </message>
    <message>
        <source>5、约8秒后进入发送进程，彩球绿色LED以流水灯形式显示，发送成功后全部绿色LED闪烁显示，否则均代表发送失败。</source>
        <translation>5. After about 8 seconds sending starts and the green LEDs light up in a running chase. When sending succeeds all the green LEDs flash; anything else means sending failed.</translation>
    </message>
    <message>
        <source>6、退出发送数据窗口。</source>
        <translation>6. Close the Send data window.</translation>
    </message>
    <message>
        <source>7、关闭彩球电源开关，断开USB线缆。</source>
        <translation>7. Switch the ball off and unplug the USB cable.</translation>
    </message>
    <message>
        <source>8、重新开机即可察看显示效果。</source>
        <translation>8. Switch the ball on again to see the show.</translation>
    </message>
    <message>
        <source>发送数据</source>
        <translation>Send data</translation>
    </message>
    <message>
        <source>下载操作步骤：</source>
        <translation>Download steps:</translation>
    </message>
    <message>
        <source>端口准备</source>
        <translation>Port ready</translation>
    </message>
    <message>
        <source>端口打开</source>
        <translation>Port open</translation>
    </message>
    <message>
        <source>待发送文件：</source>
        <translation>File to send:</translation>
    </message>
    <message>
        <source>状  态：</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>项目在上次编译后已修改，待发送的 data.bin 不是最新的。</source>
        <translation>The project has changed since it was last compiled; the data.bin to send is out of date.</translation>
    </message>
    <message>
        <source>先编译</source>
        <translation>Compile first</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>选用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>其他串口：</source>
        <translation>Other serial ports:</translation>
    </message>
    <message>
        <source>串口路径：</source>
        <translation>Serial port path:</translation>
    </message>
    <message>
        <source>列出串口</source>
        <translation>List serial ports</translation>
    </message>
    <message>
        <source>打开传送端口</source>
        <translation>Open transfer port</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>选择端口：%1</source>
        <translation>Port chosen: %1</translation>
    </message>
    <message>
        <source>未检测到传送端口，可在下面选择串口</source>
        <translation>No transfer port found; choose a serial port below</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open serial port</translation>
    </message>
    <message>
        <source>未连接上彩球！</source>
        <translation>Not connected to the ball!</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close serial port</translation>
    </message>
    <message>
        <source>串口未打开

</source>
        <translation>The serial port is not open

</translation>
    </message>
    <message>
        <source>项目在上次编译后已修改，是否先编译？</source>
        <translation>The project has changed since it was last compiled. Compile it first?</translation>
    </message>
    <message>
        <source>串口已关闭，发送已中止</source>
        <translation>The serial port was closed; sending stopped</translation>
    </message>
</context>
<context>
    <name>glowdeck::CShowWindow</name>
    <message>
        <source>放映</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>条带</source>
        <translation>Strip</translation>
    </message>
    <message>
        <source>球体</source>
        <translation>Ball</translation>
    </message>
    <message>
        <source>播放速度</source>
        <translation>Playback speed</translation>
    </message>
    <message>
        <source>每组秒数</source>
        <translation>Seconds per group</translation>
    </message>
    <message>
        <source>每圈列数</source>
        <translation>Columns per turn</translation>
    </message>
    <message>
        <source>每圈秒数</source>
        <translation>Seconds per turn</translation>
    </message>
    <message>
        <source>滚动（列/秒）</source>
        <translation>Scrolling (columns/s)</translation>
    </message>
    <message>
        <source>群组</source>
        <translation>Groups</translation>
    </message>
    <message>
        <source>尚未编译：请先编译数据。</source>
        <translation>Not compiled yet: compile the data first.</translation>
    </message>
    <message>
        <source>编译的数据里没有群组。</source>
        <translation>The compiled data has no groups.</translation>
    </message>
    <message>
        <source>组 %1：%2 列，%3 个动画，放映 %4 秒</source>
        <translation>Group %1: %2 columns, %3 animations, shown for %4 s</translation>
    </message>
    <message>
        <source>&#x3000;项目在编译后有改动，放映的是上次编译的数据。</source>
        <translation> The project has changed since it was compiled; this is the last compiled data.</translation>
    </message>
    <message>
        <source>组 %1（%2 列）</source>
        <translation>Group %1 (%2 columns)</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>外层</source>
        <translation>Outer layer</translation>
    </message>
    <message>
        <source>内层</source>
        <translation>Inner layer</translation>
    </message>
    <message>
        <source>双层</source>
        <translation>Both layers</translation>
    </message>
    <message>
        <source>显示层</source>
        <translation>Layers shown</translation>
    </message>
    <message>
        <source>正在编译内层……</source>
        <translation>Compiling the inner layer…</translation>
    </message>
    <message>
        <source>正在编译外层……</source>
        <translation>Compiling the outer layer…</translation>
    </message>
    <message>
        <source>外层编译失败：%1</source>
        <translation>The outer layer could not be compiled: %1</translation>
    </message>
    <message>
        <source>内层编译失败：%1</source>
        <translation>The inner layer could not be compiled: %1</translation>
    </message>
</context>
<context>
    <name>glowdeck::CStartDlg</name>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>新建项目</source>
        <translation>New project</translation>
    </message>
    <message>
        <source>打开项目</source>
        <translation>Open project</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>glowdeck::CViewBmp</name>
    <message>
        <source>选择图像</source>
        <translation>Choose image</translation>
    </message>
    <message>
        <source>原始图像</source>
        <translation>Source image</translation>
    </message>
    <message>
        <source>LED图像</source>
        <translation>LED image</translation>
    </message>
    <message>
        <source>大</source>
        <translation>Large</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>红  色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿  色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝  色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>抖动</source>
        <translation>Dither</translation>
    </message>
    <message>
        <source>绘图</source>
        <translation>Paint</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>圆笔</source>
        <translation>Round pen</translation>
    </message>
    <message>
        <source>方笔</source>
        <translation>Square pen</translation>
    </message>
    <message>
        <source>浇桶</source>
        <translation>Bucket</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>置换图片</source>
        <translation>Replace picture</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重复</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>笔宽</source>
        <translation>Pen width</translation>
    </message>
    <message>
        <source>源图像宽度=%1</source>
        <translation>Source width=%1</translation>
    </message>
    <message>
        <source>源图像高度=%1</source>
        <translation>Source height=%1</translation>
    </message>
    <message>
        <source>LED图像宽度=%1</source>
        <translation>LED image width=%1</translation>
    </message>
    <message>
        <source>LED图像高度=56</source>
        <translation>LED image height=56</translation>
    </message>
    <message>
        <source>文件路径：%1</source>
        <translation>File path: %1</translation>
    </message>
    <message>
        <source>未置换的绘制将丢失，是否继续？</source>
        <translation>The painting not yet made the picture will be lost. Continue?</translation>
    </message>
</context>
<context>
    <name>glowdeck::CViewGif</name>
    <message>
        <source>选择动画</source>
        <translation>Choose animation</translation>
    </message>
    <message>
        <source>原始动画</source>
        <translation>Source animation</translation>
    </message>
    <message>
        <source>LED动画</source>
        <translation>LED animation</translation>
    </message>
    <message>
        <source>播放控制</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>帧  0/ 0</source>
        <translation>Frame  0/ 0</translation>
    </message>
    <message>
        <source>次  0/ 0</source>
        <translation>Loop  0/ 0</translation>
    </message>
    <message>
        <source>前50帧</source>
        <translation>First 50 frames</translation>
    </message>
    <message>
        <source> 帧</source>
        <translation> frames</translation>
    </message>
    <message>
        <source>选取帧数</source>
        <translation>Frames to take</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>到结尾</source>
        <translation>To the end</translation>
    </message>
    <message>
        <source>视频起点</source>
        <translation>Clip start</translation>
    </message>
    <message>
        <source>视频时长</source>
        <translation>Clip length</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>红  色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿  色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝  色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>循环数</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>速  率</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>抖动</source>
        <translation>Dither</translation>
    </message>
    <message>
        <source>源图像宽度=%1</source>
        <translation>Source width=%1</translation>
    </message>
    <message>
        <source>源图像高度=%1</source>
        <translation>Source height=%1</translation>
    </message>
    <message>
        <source>LED图像宽度=%1</source>
        <translation>LED image width=%1</translation>
    </message>
    <message>
        <source>LED图像高度=56</source>
        <translation>LED image height=56</translation>
    </message>
    <message>
        <source>文件路径：%1</source>
        <translation>File path: %1</translation>
    </message>
    <message>
        <source>帧数=%1</source>
        <translation>Frames=%1</translation>
    </message>
    <message>
        <source>帧 %1/%2</source>
        <translation>Frame %1/%2</translation>
    </message>
    <message>
        <source>次 %1/%2</source>
        <translation>Loop %1/%2</translation>
    </message>
    <message>
        <source>PLAY</source>
        <translation>PLAY</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>STOP</translation>
    </message>
</context>
<context>
    <name>glowdeck::CViewNull</name>
    <message>
        <source>原始图像</source>
        <translation>Source image</translation>
    </message>
    <message>
        <source>LED图像</source>
        <translation>LED image</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>背景色</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>长  度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>源图像宽度=%1</source>
        <translation>Source width=%1</translation>
    </message>
    <message>
        <source>源图像高度=%1</source>
        <translation>Source height=%1</translation>
    </message>
    <message>
        <source>LED图像宽度=%1</source>
        <translation>LED image width=%1</translation>
    </message>
    <message>
        <source>LED图像高度=56</source>
        <translation>LED image height=56</translation>
    </message>
    <message>
        <source>文件路径：%1</source>
        <translation>File path: %1</translation>
    </message>
</context>
<context>
    <name>glowdeck::CViewTxt</name>
    <message>
        <source>文字图像</source>
        <translation>Text image</translation>
    </message>
    <message>
        <source>LED图像</source>
        <translation>LED image</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>更改字体</source>
        <translation>Change font</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>自动间距</source>
        <translation>Automatic spacing</translation>
    </message>
    <message>
        <source>手动间距</source>
        <translation>Manual spacing</translation>
    </message>
    <message>
        <source>纵向偏移</source>
        <translation>Vertical offset</translation>
    </message>
    <message>
        <source>中文偏移</source>
        <translation>Chinese offset</translation>
    </message>
    <message>
        <source>英文偏移</source>
        <translation>Latin offset</translation>
    </message>
    <message>
        <source>中文符号偏移</source>
        <translation>Chinese punctuation offset</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>文字长度=%1</source>
        <translation>Text length=%1</translation>
    </message>
    <message>
        <source>源图像宽度=%1</source>
        <translation>Source width=%1</translation>
    </message>
    <message>
        <source>源图像高度=%1</source>
        <translation>Source height=%1</translation>
    </message>
    <message>
        <source>LED图像宽度=%1</source>
        <translation>LED image width=%1</translation>
    </message>
    <message>
        <source>LED图像高度=56</source>
        <translation>LED image height=56</translation>
    </message>
    <message>
        <source>文件路径：%1</source>
        <translation>File path: %1</translation>
    </message>
</context>
<context>
    <name>glowdeck::CZoomImageView</name>
    <message>
        <source>适合窗口</source>
        <translation>Fit window</translation>
    </message>
    <message>
        <source>适合高度</source>
        <translation>Fit height</translation>
    </message>
    <message>
        <source>2 倍</source>
        <translation>2×</translation>
    </message>
    <message>
        <source>4 倍</source>
        <translation>4×</translation>
    </message>
</context>
</TS>
