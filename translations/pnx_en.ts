<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ConfirmCutting</name>
    <message>
        <source>%1 %2×%3：库存少 %4 张</source>
        <translation>%1 %2×%3: %4 sheets short in stock</translation>
    </message>
    <message>
        <source>按这次排样下料：从原材料库存中减去用掉的 %1 张原材料，并把 %2 块余料加入原材料库。每次排样只能确认一次。要继续吗？</source>
        <translation>Cut by this layout: %1 sheets used are taken out of the sheet library's stock and %2 offcuts are added to the sheet library. Each layout run can be confirmed once. Continue?</translation>
    </message>
    <message>
        <source>已确认下料：从库存中减去 %1 张原材料，加入 %2 块余料。</source>
        <translation>Cutting confirmed: %1 sheets taken out of stock, %2 offcuts added.</translation>
    </message>
    <message>
        <source>另有 %1 张原材料在原材料库中没有库存数量，没有扣减。</source>
        <translation>%1 more sheets have no stock count in the sheet library and were not taken off.</translation>
    </message>
    <message>
        <source>以下原材料的库存不够，已减到 0：</source>
        <translation>The stock of these sheets was too low and is now 0:</translation>
    </message>
    <message>
        <source>用完的余料 %1 行已从原材料库删除。</source>
        <translation>%1 offcut rows used up were removed from the sheet library.</translation>
    </message>
</context>
<context>
    <name>DBSchema</name>
    <message>
        <source>创建数据库失败：%1（%2）</source>
        <translation>Could not create the database: %1 (%2)</translation>
    </message>
    <message>
        <source>数据库文件“%1”已经存在，不会覆盖它</source>
        <translation>The database file “%1” exists already; it is not overwritten</translation>
    </message>
    <message>
        <source>创建数据库失败：文件夹“%1”不存在</source>
        <translation>Could not create the database: the folder “%1” does not exist</translation>
    </message>
    <message>
        <source>创建数据库文件“%1”失败：%2</source>
        <translation>Could not create the database file “%1”: %2</translation>
    </message>
    <message>
        <source>创建数据库失败：不能把临时文件改名为“%1”（文件已存在或文件夹不可写）</source>
        <translation>Could not create the database: the temporary file could not be renamed to “%1” (the file exists already or the folder cannot be written)</translation>
    </message>
    <message>
        <source>数据库文件正被其他程序使用，等待后仍被锁定（%1）</source>
        <translation>The database file is in use by another program and stayed locked after waiting (%1)</translation>
    </message>
    <message>
        <source>文件不是本系统可读的数据库，或已损坏（%1）</source>
        <translation>The file is not a database this program can read, or it is damaged (%1)</translation>
    </message>
    <message>
        <source>数据库中缺少数据表“%1”</source>
        <translation>The table “%1” is missing from the database</translation>
    </message>
    <message>
        <source>不能读取数据表“%1”的结构（%2）</source>
        <translation>Could not read the structure of the table “%1” (%2)</translation>
    </message>
    <message>
        <source>数据表“%1”中缺少字段“%2”</source>
        <translation>The column “%2” is missing from the table “%1”</translation>
    </message>
    <message>
        <source>数据库文件已损坏（%1）</source>
        <translation>The database file is damaged (%1)</translation>
    </message>
    <message>
        <source>数据库文件已损坏：文件长度 %1 字节不是完整的数据页（页大小 %2，页数 %3）</source>
        <translation>The database file is damaged: its length of %1 bytes is not a whole number of pages (page size %2, %3 pages)</translation>
    </message>
    <message>
        <source>数据库文件“%1”是上一版本的，要增加纹理、修边和库存等字段后才能使用，但不能升级：%2。文件没有改动；请让文件和它所在的文件夹可以写入后再打开。</source>
        <translation>The database file “%1” is of the previous version and needs the grain, trim and stock columns before it can be used, but it cannot be upgraded: %2. The file was not changed; make the file and its folder writable and open it again.</translation>
    </message>
    <message>
        <source>文件是只读的</source>
        <translation>the file is read-only</translation>
    </message>
    <message>
        <source>升级数据库</source>
        <translation>Upgrade the database</translation>
    </message>
    <message>
        <source>文件不能写入（%1）</source>
        <translation>the file cannot be written (%1)</translation>
    </message>
    <message>
        <source>不能读取文件（%1）</source>
        <translation>the file cannot be read (%1)</translation>
    </message>
    <message>
        <source>不能建立备份“%1”（%2）</source>
        <translation>the copy “%1” cannot be made (%2)</translation>
    </message>
    <message>
        <source>不能写入备份“%1”（%2）</source>
        <translation>the copy “%1” cannot be written (%2)</translation>
    </message>
</context>
<context>
    <name>DataPlace</name>
    <message>
        <source>找不到随程序安装的空白数据库“%1”，不能建立“%2”</source>
        <translation>The fresh database that comes with the program, “%1”, is missing, so “%2” cannot be created</translation>
    </message>
    <message>
        <source>不能读取空白数据库“%1”：%2</source>
        <translation>Could not read the fresh database “%1”: %2</translation>
    </message>
    <message>
        <source>不能建立数据库文件“%1”：%2</source>
        <translation>Could not create the database file “%1”: %2</translation>
    </message>
    <message>
        <source>不能写入数据库文件“%1”：%2</source>
        <translation>Could not write the database file “%1”: %2</translation>
    </message>
    <message>
        <source>不能建立文件夹“%1”</source>
        <translation>Could not create the folder “%1”</translation>
    </message>
</context>
<context>
    <name>ProductInfo</name>
    <message>
        <source>Tavrin优化切割PNX</source>
        <translation>Tavrin Cutting Optimizer PNX</translation>
    </message>
    <message>
        <source>Tavrin优化切割</source>
        <translation>Tavrin Cutting Optimizer</translation>
    </message>
    <message>
        <source>版权所有 © Quarvel Software Co.,Ltd. 保留所有权利</source>
        <translation>Copyright © Quarvel Software Co.,Ltd. All rights reserved</translation>
    </message>
</context>
<context>
    <name>RowCheck</name>
    <message>
        <source>不能为空</source>
        <translation>must not be empty</translation>
    </message>
    <message>
        <source>不是数字</source>
        <translation>is not a number</translation>
    </message>
    <message>
        <source>必须大于0</source>
        <translation>must be greater than 0</translation>
    </message>
    <message>
        <source>不能小于0</source>
        <translation>must not be less than 0</translation>
    </message>
    <message>
        <source>不能大于%1</source>
        <translation>must not be greater than %1</translation>
    </message>
    <message>
        <source>第%1行</source>
        <translation>Row %1</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 %2：%3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message>
        <source>太大，两边修边后原材料没有可用的地方</source>
        <translation>too large: nothing of the sheet is left once both edges are trimmed</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>板材优化切割：规划从原材料板上切出零件的排样。</source>
        <translation>Sheet cutting optimizer: plans how parts are cut from stock sheets.</translation>
    </message>
    <message>
        <source>显示这段说明。</source>
        <translation>Show this help.</translation>
    </message>
    <message>
        <source>显示版本号。</source>
        <translation>Show the version.</translation>
    </message>
    <message>
        <source>打开这个数据库文件，而不是通常的 pnx.dat（不存在的文件不会被建立）。</source>
        <translation>Open this database file instead of the usual pnx.dat (a file that does not exist is not created).</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>不认识的参数：%1</source>
        <translation>unknown argument: %1</translation>
    </message>
    <message>
        <source>--database 需要一个文件名</source>
        <translation>--database needs a file name</translation>
    </message>
</context>
<context>
    <name>TDBGrid</name>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>有</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>顺纹</source>
        <translation>With grain</translation>
    </message>
</context>
<context>
    <name>TDBNavigator</name>
    <message>
        <source>第一条</source>
        <translation>First record</translation>
    </message>
    <message>
        <source>上一条</source>
        <translation>Previous record</translation>
    </message>
    <message>
        <source>下一条</source>
        <translation>Next record</translation>
    </message>
    <message>
        <source>最后条</source>
        <translation>Last record</translation>
    </message>
    <message>
        <source>插入</source>
        <translation>Insert record</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete record</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit record</translation>
    </message>
    <message>
        <source>提交</source>
        <translation>Post edit</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel edit</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh data</translation>
    </message>
    <message>
        <source>确实要删除当前记录吗？</source>
        <translation>Delete the current record?</translation>
    </message>
</context>
<context>
    <name>TDBTransaction</name>
    <message>
        <source>：文件夹“%1”不允许写入（保存时要在数据库文件旁建立临时日志文件），请让这个文件夹可以写入后再试</source>
        <translation>: the folder “%1” cannot be written (saving makes a temporary journal file beside the database file); make the folder writable and try again</translation>
    </message>
    <message>
        <source>：数据库文件正被其他程序使用，等待后仍被锁定</source>
        <translation>: the database file is in use by another program and stayed locked after waiting</translation>
    </message>
    <message>
        <source>：数据库文件“%1”已被移走、改名或删除，请把它放回原处后再试</source>
        <translation>: the database file “%1” was moved, renamed or deleted; put it back and try again</translation>
    </message>
    <message>
        <source>：数据库文件“%1”是只读的，请取消它的只读属性后再试</source>
        <translation>: the database file “%1” is read-only; make it writable and try again</translation>
    </message>
    <message>
        <source>：打开数据库文件“%1”时它不能写入；再试一次时程序会重新打开它</source>
        <translation>: the database file “%1” could not be written when it was opened; the program opens it again when you retry</translation>
    </message>
    <message>
        <source>：找不到数据库文件“%1”，请把它放回原处后再试</source>
        <translation>: the database file “%1” is missing; put it back and try again</translation>
    </message>
    <message>
        <source>：不能打开数据库文件“%1”</source>
        <translation>: the database file “%1” cannot be opened</translation>
    </message>
    <message>
        <source>：磁盘已满</source>
        <translation>: the disk is full</translation>
    </message>
    <message>
        <source>：读写数据库文件“%1”时出错</source>
        <translation>: an error occurred reading or writing the database file “%1”</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>数据库文件正被其他程序使用，正在等待（最多 %1 秒）……</source>
        <translation>The database file is in use by another program; waiting (at most %1 seconds)…</translation>
    </message>
    <message>
        <source>%1失败</source>
        <translation>%1 failed</translation>
    </message>
</context>
<context>
    <name>TDeskCalculator</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>TFrmDM</name>
    <message>
        <source>数据库没有打开，不能执行语句</source>
        <translation>The database is not open; the statement cannot be run</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>不能打开数据库文件“%1”：SQLite 数据库驱动（QSQLITE）不可用</source>
        <translation>Cannot open the database file “%1”: the SQLite database driver (QSQLITE) is not available</translation>
    </message>
    <message>
        <source>找不到数据库文件“%1”（%2）</source>
        <translation>The database file “%1” was not found (%2)</translation>
    </message>
    <message>
        <source>不能打开数据库文件“%1”</source>
        <translation>Cannot open the database file “%1”</translation>
    </message>
    <message>
        <source>不能使用数据库文件“%1”：%2</source>
        <translation>Cannot use the database file “%1”: %2</translation>
    </message>
    <message>
        <source>不能使用数据库文件“%1”</source>
        <translation>Cannot use the database file “%1”</translation>
    </message>
    <message>
        <source>执行语句“%1”失败</source>
        <translation>Running the statement “%1” failed</translation>
    </message>
    <message>
        <source>没有可删除的工程</source>
        <translation>There is no project to delete</translation>
    </message>
    <message>
        <source>删除工程</source>
        <translation>Deleting the project</translation>
    </message>
    <message>
        <source>没有可删除的方案</source>
        <translation>There is no scheme to delete</translation>
    </message>
    <message>
        <source>删除方案</source>
        <translation>Deleting the scheme</translation>
    </message>
</context>
<context>
    <name>TMemoryPane</name>
    <message>
        <source>已用内存 %p%</source>
        <translation>Memory %p%</translation>
    </message>
    <message>
        <source>已用内存</source>
        <translation>Memory used</translation>
    </message>
</context>
<context>
    <name>TNumericValidator</name>
    <message>
        <source>这一列只能输入整数</source>
        <translation>Only whole numbers can be entered in this column</translation>
    </message>
    <message>
        <source>数字太小，不能再输入：最小是 -2147483648</source>
        <translation>The number is too small: the smallest is -2147483648</translation>
    </message>
    <message>
        <source>数字太大，不能再输入：最大是 2147483647</source>
        <translation>The number is too large: the largest is 2147483647</translation>
    </message>
    <message>
        <source>这一列只能输入数字和一个小数点</source>
        <translation>Only digits and one decimal point can be entered in this column</translation>
    </message>
    <message>
        <source>金额最多只能有四位小数</source>
        <translation>An amount has at most four decimal places</translation>
    </message>
    <message>
        <source>金额太大，不能再输入</source>
        <translation>The amount is too large</translation>
    </message>
    <message>
        <source>这一列只能输入数字</source>
        <translation>Only numbers can be entered in this column</translation>
    </message>
    <message>
        <source>数字太大，不能再输入</source>
        <translation>The number is too large</translation>
    </message>
</context>
<context>
    <name>TRowSet</name>
    <message>
        <source>整数</source>
        <translation>whole number</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>number</translation>
    </message>
    <message>
        <source>金额（最多四位小数）</source>
        <translation>amount (at most four decimal places)</translation>
    </message>
    <message>
        <source>日期时间（yyyy-MM-dd HH:mm:ss）</source>
        <translation>date and time (yyyy-MM-dd HH:mm:ss)</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>text</translation>
    </message>
    <message>
        <source>“%1”不是有效的%2（字段“%3”）</source>
        <translation>“%1” is not a valid %2 (column “%3”)</translation>
    </message>
    <message>
        <source>字段“%1”的值 %2 超出整数范围</source>
        <translation>The value %2 of the column “%1” is outside the range of whole numbers</translation>
    </message>
    <message>
        <source>“%1”超出整数范围（字段“%2”）</source>
        <translation>“%1” is outside the range of whole numbers (column “%2”)</translation>
    </message>
    <message>
        <source>%1 超出整数范围（字段“%2”）</source>
        <translation>%1 is outside the range of whole numbers (column “%2”)</translation>
    </message>
    <message>
        <source>%1 超出金额范围（字段“%2”）</source>
        <translation>%1 is outside the range of amounts (column “%2”)</translation>
    </message>
    <message>
        <source>数据库没有打开，不能访问数据表</source>
        <translation>The database is not open; the table cannot be read</translation>
    </message>
    <message>
        <source>数据集已打开，不能更改查询语句；请先关闭</source>
        <translation>The data set is open, so its query cannot be changed; close it first</translation>
    </message>
    <message>
        <source>数据集没有查询语句，不能打开</source>
        <translation>The data set has no query and cannot be opened</translation>
    </message>
    <message>
        <source>打开查询失败</source>
        <translation>Opening the query failed</translation>
    </message>
    <message>
        <source>打开数据表“%1”失败</source>
        <translation>Opening the table “%1” failed</translation>
    </message>
    <message>
        <source>数据集没有打开，不能执行此操作</source>
        <translation>The data set is not open; this cannot be done</translation>
    </message>
    <message>
        <source>此查询的结果不能修改</source>
        <translation>The result of this query cannot be changed</translation>
    </message>
    <message>
        <source>记录号 %1 超出范围（共 %2 条记录）</source>
        <translation>Record number %1 is out of range (%2 records)</translation>
    </message>
    <message>
        <source>没有可删除的记录：数据集是空的</source>
        <translation>There is no record to delete: the data set is empty</translation>
    </message>
    <message>
        <source>数据集中没有字段“%1”</source>
        <translation>The data set has no column “%1”</translation>
    </message>
    <message>
        <source>数据集中没有第 %1 个字段</source>
        <translation>The data set has no column number %1</translation>
    </message>
    <message>
        <source>数据集不在编辑或插入状态，不能修改字段“%1”</source>
        <translation>The data set is not being edited, so the column “%1” cannot be changed</translation>
    </message>
    <message>
        <source>字段“%1”由数据库自动编号，不能修改</source>
        <translation>The column “%1” is numbered by the database and cannot be changed</translation>
    </message>
    <message>
        <source>字段“%1”不是数据表的字段，不能修改</source>
        <translation>The column “%1” is not a column of the table and cannot be changed</translation>
    </message>
    <message>
        <source>此查询的结果不能保存</source>
        <translation>The result of this query cannot be saved</translation>
    </message>
    <message>
        <source>保存数据表“%1”失败</source>
        <translation>Saving the table “%1” failed</translation>
    </message>
    <message>
        <source>：有记录已被其他程序修改或删除，请重新打开后再修改</source>
        <translation>: records were changed or deleted by another program; open the data again and then make your changes</translation>
    </message>
    <message>
        <source>保存数据表“%1”</source>
        <translation>Saving the table “%1”</translation>
    </message>
</context>
<context>
    <name>TRtfReader</name>
    <message>
        <source>内容不是 RTF 格式</source>
        <translation>The content is not in RTF format</translation>
    </message>
    <message>
        <source>无法打开文件“%1”：%2</source>
        <translation>Cannot open the file “%1”: %2</translation>
    </message>
    <message>
        <source>文件“%1”太大</source>
        <translation>The file “%1” is too large</translation>
    </message>
    <message>
        <source>无法读取文件“%1”：%2</source>
        <translation>Cannot read the file “%1”: %2</translation>
    </message>
    <message>
        <source>文件“%1”不是 RTF 格式</source>
        <translation>The file “%1” is not in RTF format</translation>
    </message>
</context>
<context>
    <name>TWelcomePanel</name>
    <message>
        <source>简单 直观 高效 快速</source>
        <translation>Simple  Clear  Efficient  Fast</translation>
    </message>
</context>
<context>
    <name>TfrmAbout</name>
    <message>
        <source>本软件受著作权法保护。未经许可，不得复制、修改或传播本软件的全部或任何部分。</source>
        <translation>This software is protected by copyright law. No part of it may be copied, changed or passed on without permission.</translation>
    </message>
    <message>
        <source>本产品授权给：</source>
        <translation>This product is licensed to:</translation>
    </message>
    <message>
        <source>Quarvel PNX  板材优化切割软件</source>
        <translation>Quarvel PNX  Sheet Cutting Optimizer</translation>
    </message>
    <message>
        <source> 版本:</source>
        <translation> Version:</translation>
    </message>
    <message>
        <source>反  馈</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>用户: </source>
        <translation>User: </translation>
    </message>
    <message>
        <source>单位: </source>
        <translation>Organisation: </translation>
    </message>
</context>
<context>
    <name>TfrmLibraryEditor</name>
    <message>
        <source>导入零件</source>
        <translation>Import parts</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>导入|从Excel或CSV文件导入</source>
        <translation>Import|Import from an Excel or CSV file</translation>
    </message>
    <message>
        <source>导入原材料</source>
        <translation>Import sheets</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>长</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭|关闭此窗体</source>
        <translation>Close|Close this window</translation>
    </message>
    <message>
        <source>增加一行</source>
        <translation>Add row</translation>
    </message>
    <message>
        <source>增加一行|增加一条记录</source>
        <translation>Add row|Add a record</translation>
    </message>
    <message>
        <source>删除一行</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除一行|删除选中的记录</source>
        <translation>Delete|Delete the selected record</translation>
    </message>
    <message>
        <source>修改数据</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>修改数据|修改选中的记录</source>
        <translation>Edit|Edit the selected record</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存数据|保存数据</source>
        <translation>Save|Save the data</translation>
    </message>
    <message>
        <source>下面这些行的数据不能用于下料，所以什么都没有保存。请改正或删除这些行，然后再保存：
</source>
        <translation>The rows below cannot be used for cutting, so nothing was saved. Correct or delete these rows, then save again:
</translation>
    </message>
    <message>
        <source>价格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>纹理</source>
        <translation>Grain</translation>
    </message>
    <message>
        <source>修边</source>
        <translation>Trim</translation>
    </message>
    <message>
        <source>库存</source>
        <translation>Stock</translation>
    </message>
</context>
<context>
    <name>TfrmMainC</name>
    <message>
        <source>优化排样</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>根据需要建立各种优化排样工作模式</source>
        <translation>Set up projects and cutting schemes and lay them out</translation>
    </message>
    <message>
        <source>零件管理</source>
        <translation>Parts</translation>
    </message>
    <message>
        <source>设置各种常用零件尺寸</source>
        <translation>Keep the sizes of common parts</translation>
    </message>
    <message>
        <source>原材料管理</source>
        <translation>Sheets</translation>
    </message>
    <message>
        <source>设置各种原材料的尺寸和价格</source>
        <translation>Keep the sizes and prices of stock sheets</translation>
    </message>
    <message>
        <source>用户手册</source>
        <translation>User manual</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>退出(&amp;x)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出|退出本程序</source>
        <translation>Exit|Quit the program</translation>
    </message>
    <message>
        <source>Tavrin软件</source>
        <translation>Tavrin Software</translation>
    </message>
    <message>
        <source>工具条        &amp;T</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>状态栏        &amp;S</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message>
        <source>说明          &amp;N</source>
        <translation>&amp;Notes</translation>
    </message>
    <message>
        <source>左侧菜单      &amp;L</source>
        <translation>&amp;Left menu</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>Follow the system</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>设置(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>界面语言(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>工具条</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>优化切割</source>
        <translation>Cutting</translation>
    </message>
    <message>
        <source>简易计算器</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>优化切割软件 </source>
        <translation>Cutting optimizer </translation>
    </message>
    <message>
        <source>数据库文件：%1</source>
        <translation>Database file: %1</translation>
    </message>
    <message>
        <source>界面语言将在程序下次启动时更换。</source>
        <translation>The language changes the next time the program starts.</translation>
    </message>
    <message>
        <source>工程数据未能保存，仍要退出吗？</source>
        <translation>The project data could not be saved. Exit anyway?</translation>
    </message>
    <message>
        <source>关于 板材优化切割软件</source>
        <translation>About Sheet Cutting Optimizer</translation>
    </message>
    <message>
        <source>选项(&amp;P)…</source>
        <translation>&amp;Options…</translation>
    </message>
    <message>
        <source>选项|打印页脚的公司名称和电话、余料尺寸、零件标签的版式</source>
        <translation>Options|Company and telephone on printouts, offcut size, label layout</translation>
    </message>
</context>
<context>
    <name>TfrmOptions</name>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source> 毫米</source>
        <translation> mm</translation>
    </message>
    <message>
        <source>打印页脚</source>
        <translation>Printout footer</translation>
    </message>
    <message>
        <source>不填则不打印</source>
        <translation>Not printed when empty</translation>
    </message>
    <message>
        <source>公司名称：</source>
        <translation>Company:</translation>
    </message>
    <message>
        <source>电话：</source>
        <translation>Telephone:</translation>
    </message>
    <message>
        <source>余料</source>
        <translation>Offcuts</translation>
    </message>
    <message>
        <source>余料入库时的价格 = 原板每平方米价格 × 余料面积 × 这个比例</source>
        <translation>Price of an offcut taken into stock = the sheet's price per square metre × the offcut's area × this ratio</translation>
    </message>
    <message>
        <source>最小长度：</source>
        <translation>Minimum length:</translation>
    </message>
    <message>
        <source>最小宽度：</source>
        <translation>Minimum width:</translation>
    </message>
    <message>
        <source>入库价格比例：</source>
        <translation>Stock price ratio:</translation>
    </message>
    <message>
        <source>零件标签</source>
        <translation>Part labels</translation>
    </message>
    <message>
        <source>标签打印机：每页一张</source>
        <translation>Label printer: one label a page</translation>
    </message>
    <message>
        <source>条码旁加印二维码</source>
        <translation>QR code beside the barcode</translation>
    </message>
    <message>
        <source>A4 纸每行张数：</source>
        <translation>Labels across an A4 sheet:</translation>
    </message>
    <message>
        <source>A4 纸每列张数：</source>
        <translation>Labels down an A4 sheet:</translation>
    </message>
    <message>
        <source>A4 纸页边距：</source>
        <translation>A4 sheet margin:</translation>
    </message>
    <message>
        <source>标签打印机标签宽：</source>
        <translation>Label width (label printer):</translation>
    </message>
    <message>
        <source>标签打印机标签高：</source>
        <translation>Label height (label printer):</translation>
    </message>
</context>
<context>
    <name>TfrmSelectData</name>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>长</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>价格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>全部选中</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>全部取消</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>纹理</source>
        <translation>Grain</translation>
    </message>
    <message>
        <source>修边</source>
        <translation>Trim</translation>
    </message>
    <message>
        <source>库存</source>
        <translation>Stock</translation>
    </message>
</context>
<context>
    <name>UserManual</name>
    <message>
        <source>不能打开用户手册：系统没有能打开网页文件的浏览器。
请用浏览器打开这个文件：
%1</source>
        <translation>Cannot open the user manual: the system has no browser that opens web pages.
Please open this file in a browser:
%1</translation>
    </message>
    <message>
        <source>找不到用户手册：工作目录中没有 PNX.CHM，也没有“%1”。</source>
        <translation>The user manual was not found: there is no PNX.CHM in the working folder and no “%1”.</translation>
    </message>
</context>
</TS>
