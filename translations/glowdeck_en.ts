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
</context>
<context>
    <name>EditCommands</name>
    <message>
        <source>文字最多 %1 个字符，这段文字有 %2 个</source>
        <translation>A text holds at most %1 characters; this one has %2</translation>
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
</TS>
