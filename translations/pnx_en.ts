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
        <translation>Cut by this layout: %1 sheets used are taken out of the sheet library&apos;s stock and %2 offcuts are added to the sheet library. Each layout run can be confirmed once. Continue?</translation>
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
    <name>CutPlanText</name>
    <message>
        <source>纵切</source>
        <translation>Rip</translation>
    </message>
    <message>
        <source>横切</source>
        <translation>Cross</translation>
    </message>
    <message>
        <source>此排版不能全部一刀切通</source>
        <translation>This layout cannot be cut with through cuts alone</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>阶段</source>
        <translation>Stage</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Dir.</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>At</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>余料 </source>
        <translation>Offcut </translation>
    </message>
    <message>
        <source>废料 </source>
        <translation>Waste </translation>
    </message>
    <message>
        <source> 块</source>
        <translation> pcs</translation>
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
    <name>DxfWriter</name>
    <message>
        <source>写入失败：%1</source>
        <translation>Writing failed: %1</translation>
    </message>
</context>
<context>
    <name>LabelWriter</name>
    <message>
        <source>无法生成条码“%1”：%2</source>
        <translation>Cannot make the barcode “%1”: %2</translation>
    </message>
    <message>
        <source>无法生成二维码“%1”：%2</source>
        <translation>Cannot make the QR code “%1”: %2</translation>
    </message>
    <message>
        <source>切割%1  第%2/%3张</source>
        <translation>Layout %1  sheet %2/%3</translation>
    </message>
    <message>
        <source>没有要打印的标签：排样结果里没有零件。</source>
        <translation>There are no labels to print: the layouts hold no parts.</translation>
    </message>
    <message>
        <source>标签</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>打印机不接受这个纸张大小（%1 × %2 毫米）</source>
        <translation>The printer does not take this paper size (%1 × %2 mm)</translation>
    </message>
    <message>
        <source>无法开始打印标签</source>
        <translation>Cannot start printing the labels</translation>
    </message>
    <message>
        <source>无法开始新的一页</source>
        <translation>Cannot begin a new page</translation>
    </message>
    <message>
        <source>打印标签失败</source>
        <translation>Printing the labels failed</translation>
    </message>
    <message>
        <source>零件标签</source>
        <translation>Part labels</translation>
    </message>
    <message>
        <source>写入失败：%1</source>
        <translation>Writing failed: %1</translation>
    </message>
</context>
<context>
    <name>PartImport</name>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>刀口</source>
        <translation>Kerf</translation>
    </message>
    <message>
        <source>价格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>太大</source>
        <translation>is too large</translation>
    </message>
    <message>
        <source>含有千位分隔符，请只填数字，不要分隔符</source>
        <translation>contains thousands separators: enter the number only, without separators</translation>
    </message>
    <message>
        <source>带有单位“%1”，请只填数字（单位是毫米）</source>
        <translation>has the unit “%1”: enter the number only (in millimeters)</translation>
    </message>
    <message>
        <source>带有单位“%1”，请只填数字</source>
        <translation>has the unit “%1”: enter the number only</translation>
    </message>
    <message>
        <source>不是数字</source>
        <translation>is not a number</translation>
    </message>
    <message>
        <source>不能为空</source>
        <translation>must not be empty</translation>
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
        <source>必须是整数（单位是毫米）</source>
        <translation>must be a whole number (in millimeters)</translation>
    </message>
    <message>
        <source>必须是整数</source>
        <translation>must be a whole number</translation>
    </message>
    <message>
        <source>太大（最大%1）</source>
        <translation>is too large (at most %1)</translation>
    </message>
    <message>
        <source>必须大于0</source>
        <translation>must be greater than 0</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>第%1行 %2：%3</source>
        <translation>Row %1 %2: %3</translation>
    </message>
    <message>
        <source>第%1行 %2：“%3”%4</source>
        <translation>Row %1 %2: “%3” %4</translation>
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
        <source>%1（%2列）</source>
        <translation>%1 (column %2)</translation>
    </message>
    <message>
        <source>没有找到“%1”列：表头应写“%2”，或者选择文件中的哪一列是%1</source>
        <translation>No “%1” column found: head it “%2”, or choose which column of the file holds %1</translation>
    </message>
    <message>
        <source>“%1”和“%2”用了同一列（%3列）</source>
        <translation>“%1” and “%2” use the same column (column %3)</translation>
    </message>
    <message>
        <source>是公式，但文件里没有保存计算结果：请在Excel中打开并保存文件后再导入</source>
        <translation>is a formula, but the file holds no computed result: open the file in Excel, save it and import it again</translation>
    </message>
</context>
<context>
    <name>PrintConfig</name>
    <message>
        <source>文件在第 %1 字节处意外结束</source>
        <translation>The file ends unexpectedly at byte %1</translation>
    </message>
    <message>
        <source>无法写入打印设置：%1</source>
        <translation>Cannot write the print settings: %1</translation>
    </message>
    <message>
        <source>不是打印设置文件（开头不是 TPF0）</source>
        <translation>Not a print settings file (it does not begin with TPF0)</translation>
    </message>
    <message>
        <source>第 %1 字节处的属性名“%2”未知</source>
        <translation>Unknown property name “%2” at byte %1</translation>
    </message>
    <message>
        <source>第 %1 字节处属性 %2 的值类型 %3 不是整数</source>
        <translation>The value type %3 of the property %2 at byte %1 is not an integer</translation>
    </message>
    <message>
        <source>第 %1 字节处属性 %2 的值 %3 超出范围（%4 到 %5）</source>
        <translation>The value %3 of the property %2 at byte %1 is out of range (%4 to %5)</translation>
    </message>
    <message>
        <source>第 %1 字节处有不应有的子组件</source>
        <translation>Unexpected child components at byte %1</translation>
    </message>
    <message>
        <source>无法读取打印设置文件“%1”：%2</source>
        <translation>Cannot read the print settings file “%1”: %2</translation>
    </message>
    <message>
        <source>文件太大（%1 字节）</source>
        <translation>the file is too large (%1 bytes)</translation>
    </message>
    <message>
        <source>无法删除旧的“%1”</source>
        <translation>Cannot delete the old “%1”</translation>
    </message>
    <message>
        <source>无法把损坏的打印设置文件改名为“%1”：%2</source>
        <translation>Cannot rename the damaged print settings file to “%1”: %2</translation>
    </message>
    <message>
        <source>无法保存打印设置文件“%1”：%2</source>
        <translation>Cannot save the print settings file “%1”: %2</translation>
    </message>
</context>
<context>
    <name>PrintLayouts</name>
    <message>
        <source> %1 :%2×%3 %4件</source>
        <translation> %1: %2×%3 %4 pcs</translation>
    </message>
    <message>
        <source>无法开始新的一页</source>
        <translation>Cannot begin a new page</translation>
    </message>
    <message>
        <source>Tavrin优化切割打印</source>
        <translation>Tavrin Cutting Optimizer printout</translation>
    </message>
    <message>
        <source>切割 %1:原材料 %2×%3 %4件</source>
        <translation>Layout %1: sheet %2×%3 %4 pcs</translation>
    </message>
    <message>
        <source>电话：%1</source>
        <translation>Phone: %1</translation>
    </message>
    <message>
        <source>切割%1:原片%2×%3 %4件,出材率:%5%6</source>
        <translation>Layout %1: sheet %2×%3 %4 pcs, yield %5%, %6</translation>
    </message>
    <message>
        <source>Tavrin软件. 共%1页 第%2页</source>
        <translation>Tavrin Software. Page %2 of %1</translation>
    </message>
    <message>
        <source> ……另有 %1 种零件</source>
        <translation> …and %1 more part kinds</translation>
    </message>
    <message>
        <source>只写入了 %1 / %2 字节</source>
        <translation>only %1 of %2 bytes were written</translation>
    </message>
    <message>
        <source>无法写入 PDF 文件“%1”：%2</source>
        <translation>Cannot write the PDF file “%1”: %2</translation>
    </message>
    <message>
        <source> 顺纹</source>
        <translation> with grain</translation>
    </message>
    <message>
        <source> 有纹理</source>
        <translation> grained</translation>
    </message>
    <message>
        <source> 修边%1</source>
        <translation> trim %1</translation>
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
    <name>RunReport</name>
    <message>
        <source>===共使用 %1 种原片===</source>
        <translation>===%1 sheet kinds used===</translation>
    </message>
    <message>
        <source>序号:</source>
        <translation>No.: </translation>
    </message>
    <message>
        <source>原片名称:</source>
        <translation>Sheet name: </translation>
    </message>
    <message>
        <source>原片规格:</source>
        <translation>Sheet size: </translation>
    </message>
    <message>
        <source>原片面积:</source>
        <translation>Sheet area: </translation>
    </message>
    <message>
        <source>用    量:</source>
        <translation>Sheets: </translation>
    </message>
    <message>
        <source>金    额:</source>
        <translation>Amount: </translation>
    </message>
    <message>
        <source>===共有 %1 种切割方案===</source>
        <translation>===%1 layouts===</translation>
    </message>
    <message>
        <source>切割方案:</source>
        <translation>Layout: </translation>
    </message>
    <message>
        <source>零件面积:</source>
        <translation>Part area: </translation>
    </message>
    <message>
        <source>利 用 率:</source>
        <translation>Utilization: </translation>
    </message>
    <message>
        <source>  ===共切割 %1 种共 %2 件===</source>
        <translation>  ===%1 part kinds, %2 pieces===</translation>
    </message>
    <message>
        <source>  零件名称:</source>
        <translation>  Part name: </translation>
    </message>
    <message>
        <source>  零件规格:</source>
        <translation>  Part size: </translation>
    </message>
    <message>
        <source>  零件面积:</source>
        <translation>  Part area: </translation>
    </message>
    <message>
        <source>  零件数量:</source>
        <translation>  Quantity: </translation>
    </message>
    <message>
        <source>===深度优化===</source>
        <translation>===Deep optimization===</translation>
    </message>
    <message>
        <source>优化目标:</source>
        <translation>Objective: </translation>
    </message>
    <message>
        <source>总价格</source>
        <translation>total price</translation>
    </message>
    <message>
        <source>总面积</source>
        <translation>total area</translation>
    </message>
    <message>
        <source>计算量:</source>
        <translation>Work: </translation>
    </message>
    <message>
        <source>计算用时:</source>
        <translation>Time: </translation>
    </message>
    <message>
        <source>秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>结    果:</source>
        <translation>Result: </translation>
    </message>
    <message>
        <source>下    界:</source>
        <translation>Bound: </translation>
    </message>
    <message>
        <source>差    距:</source>
        <translation>Gap: </translation>
    </message>
    <message>
        <source>已证明最优</source>
        <translation>proven optimal</translation>
    </message>
    <message>
        <source>原材料总数：%1</source>
        <translation>Sheets: %1</translation>
    </message>
    <message>
        <source>总利用率：%1%</source>
        <translation>Total utilization: %1%</translation>
    </message>
    <message>
        <source>总成本：%1</source>
        <translation>Total cost: %1</translation>
    </message>
    <message>
        <source>%1张</source>
        <translation>%1 sheets</translation>
    </message>
    <message>
        <source> 差距：%1</source>
        <translation> gap %1</translation>
    </message>
    <message>
        <source>下界：%1</source>
        <translation>Bound: %1</translation>
    </message>
    <message>
        <source>未全部排下</source>
        <translation>not all placed</translation>
    </message>
    <message>
        <source>===纹理 修边 库存===</source>
        <translation>===Grain, trim, stock===</translation>
    </message>
    <message>
        <source>零件名称:</source>
        <translation>Part name: </translation>
    </message>
    <message>
        <source>零件规格:</source>
        <translation>Part size: </translation>
    </message>
    <message>
        <source>纹    理:</source>
        <translation>Grain: </translation>
    </message>
    <message>
        <source>有</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>顺纹</source>
        <translation>with grain</translation>
    </message>
    <message>
        <source>修    边:</source>
        <translation>Trim: </translation>
    </message>
    <message>
        <source>库    存:</source>
        <translation>Stock: </translation>
    </message>
</context>
<context>
    <name>SaveFile</name>
    <message>
        <source>不能写入文件“%1”：%2</source>
        <translation>Cannot write the file “%1”: %2</translation>
    </message>
    <message>
        <source>不能生成文件“%1”：%2</source>
        <translation>Cannot make the file “%1”: %2</translation>
    </message>
    <message>
        <source>不能建立文件夹“%1”</source>
        <translation>Cannot create the folder “%1”</translation>
    </message>
    <message>
        <source>切割%1</source>
        <translation>layout%1</translation>
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
    <name>SvgWriter</name>
    <message>
        <source>切割%1</source>
        <translation>Layout %1</translation>
    </message>
    <message>
        <source>  原材料：%1</source>
        <translation>  Sheet: %1</translation>
    </message>
    <message>
        <source>  共%1张</source>
        <translation>  %1 sheets</translation>
    </message>
    <message>
        <source>  刀口%1</source>
        <translation>  Kerf %1</translation>
    </message>
    <message>
        <source>排样图，单位：毫米</source>
        <translation>Layout drawing, in millimeters</translation>
    </message>
    <message>
        <source>无法生成SVG排样图</source>
        <translation>Cannot make the SVG drawing</translation>
    </message>
    <message>
        <source>写入失败：%1</source>
        <translation>Writing failed: %1</translation>
    </message>
</context>
<context>
    <name>TCustomDrawMaterial</name>
    <message>
        <source>此排版不能全部一刀切通</source>
        <translation>This layout cannot be cut with through cuts alone</translation>
    </message>
    <message>
        <source>余料 </source>
        <translation>Offcut </translation>
    </message>
    <message>
        <source>余料</source>
        <translation>Offcut</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name: </translation>
    </message>
    <message>
        <source>长度：</source>
        <translation>Length: </translation>
    </message>
    <message>
        <source>宽度：</source>
        <translation>Width: </translation>
    </message>
    <message>
        <source>↻ 已旋转</source>
        <translation>↻ turned</translation>
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
    <message>
        <source>粘贴的内容不能读成表格，没有增加任何行：
</source>
        <translation>The pasted text cannot be read as a table; no rows were added:
</translation>
    </message>
    <message>
        <source>粘贴的行有问题，没有增加任何行。请改正后重新复制、粘贴：
</source>
        <translation>The pasted rows have problems; no rows were added. Correct them and copy and paste again:
</translation>
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
    <name>TImportDialog</name>
    <message>
        <source>这一行要导入的列都是空的，不导入</source>
        <translation>The columns to import are all empty in this row: it is not imported</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Row</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>文件：</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>请选择CSV、文本或Excel(.xlsx)文件</source>
        <translation>Choose a CSV, text or Excel (.xlsx) file</translation>
    </message>
    <message>
        <source>选择文件…</source>
        <translation>Choose file…</translation>
    </message>
    <message>
        <source>标题行：</source>
        <translation>Header row:</translation>
    </message>
    <message>
        <source>%1：</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>选择要导入的文件</source>
        <translation>Choose the file to import</translation>
    </message>
    <message>
        <source>表格文件 (*.xlsx *.csv *.txt *.tsv);;所有文件 (*)</source>
        <translation>Spreadsheet files (*.xlsx *.csv *.txt *.tsv);;All files (*)</translation>
    </message>
    <message>
        <source>无法打开文件：%1</source>
        <translation>Cannot open the file: %1</translation>
    </message>
    <message>
        <source>%1，编码 %2</source>
        <translation>%1, encoding %2</translation>
    </message>
    <message>
        <source>%1，第一张工作表</source>
        <translation>%1, first worksheet</translation>
    </message>
    <message>
        <source>%1，共%2行</source>
        <translation>%1, %2 rows</translation>
    </message>
    <message>
        <source>没有标题行</source>
        <translation>No header row</translation>
    </message>
    <message>
        <source>第%1行：%2</source>
        <translation>Row %1: %2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>（无：每行1件）</source>
        <translation>(none: 1 per row)</translation>
    </message>
    <message>
        <source>（请选择）</source>
        <translation>(choose)</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>%1列</source>
        <translation>Column %1</translation>
    </message>
    <message>
        <source>%1列：%2</source>
        <translation>Column %1: %2</translation>
    </message>
    <message>
        <source>这个文件不能导入。</source>
        <translation>This file cannot be imported.</translation>
    </message>
    <message>
        <source>请选择要导入的文件。</source>
        <translation>Choose the file to import.</translation>
    </message>
    <message>
        <source>有%1处问题（见下方列表，问题单元格标为红色）：请改正文件后重新选择，或者改变列的对应，或者取消勾选这些行。</source>
        <translation>%1 problems (listed below, the cells marked red): correct the file and choose it again, change which column feeds which field, or untick these rows.</translation>
    </message>
    <message>
        <source>文件里没有可以导入的行。</source>
        <translation>The file has no rows to import.</translation>
    </message>
    <message>
        <source>将导入%1行。</source>
        <translation>%1 rows will be imported.</translation>
    </message>
    <message>
        <source>这个表现在不能增加行</source>
        <translation>This list cannot take new rows now</translation>
    </message>
    <message>
        <source>……另有%1处问题</source>
        <translation>…and %1 more problems</translation>
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
    <name>TSchemeBatch</name>
    <message>
        <source>没有提供的原材料</source>
        <translation>no sheets offered</translation>
    </message>
    <message>
        <source>%1 秒，目前最好：%2 张</source>
        <translation>%1 s, best so far: %2 sheets</translation>
    </message>
    <message>
        <source>，成本 </source>
        <translation>, cost </translation>
    </message>
    <message>
        <source>，利用率 %1%</source>
        <translation>, utilization %1%</translation>
    </message>
    <message>
        <source>%1（%2×%3）</source>
        <translation>%1 (%2×%3)</translation>
    </message>
    <message>
        <source>有零件排不下：</source>
        <translation>parts that do not fit: </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
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
    <name>TableReader</name>
    <message>
        <source>制表符分隔文本</source>
        <translation>Tab-separated text</translation>
    </message>
    <message>
        <source>表格超过%1行，不能导入。</source>
        <translation>The table has more than %1 rows and cannot be imported.</translation>
    </message>
    <message>
        <source>第%1行：引号“&quot;”开始的内容直到文件结束都没有结束引号，文件可能不完整。</source>
        <translation>Row %1: a quotation mark (&quot;) opens text that is not closed before the end of the file; the file may be incomplete.</translation>
    </message>
    <message>
        <source>第%1行超过%2列，不能导入。</source>
        <translation>Row %1 has more than %2 columns and cannot be imported.</translation>
    </message>
    <message>
        <source>文件是空的。</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>文件太大（超过%1MB），不能导入。</source>
        <translation>The file is too large (more than %1 MB) to import.</translation>
    </message>
    <message>
        <source>这是旧版Excel(.xls)或其他Office文件，不能直接导入：请在Excel中另存为.xlsx或CSV文件后再导入。</source>
        <translation>This is an old Excel (.xls) or other Office file that cannot be imported directly: save it as .xlsx or CSV in Excel, then import it.</translation>
    </message>
    <message>
        <source>这个文件不是有效的Excel(.xlsx)文件：文件可能已损坏，或者只是改了扩展名。</source>
        <translation>This file is not a valid Excel (.xlsx) file: it may be damaged, or only its extension was changed.</translation>
    </message>
    <message>
        <source>这是PDF文件，不是表格：请选择CSV、文本或Excel(.xlsx)文件。</source>
        <translation>This is a PDF file, not a table: choose a CSV, text or Excel (.xlsx) file.</translation>
    </message>
    <message>
        <source>无法打开文件：%1</source>
        <translation>Cannot open the file: %1</translation>
    </message>
    <message>
        <source>无法读取文件：%1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
</context>
<context>
    <name>TableWriter</name>
    <message>
        <source>写入失败：%1</source>
        <translation>Writing failed: %1</translation>
    </message>
    <message>
        <source>无法生成Excel文件：%1</source>
        <translation>Cannot make the Excel file: %1</translation>
    </message>
    <message>
        <source>零件清单</source>
        <translation>Part list</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>原材料用量</source>
        <translation>Sheet usage</translation>
    </message>
    <message>
        <source>用量</source>
        <translation>Sheets used</translation>
    </message>
    <message>
        <source>排样零件</source>
        <translation>Layout parts</translation>
    </message>
    <message>
        <source>切割</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>原材料</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>原材料长度</source>
        <translation>Sheet length</translation>
    </message>
    <message>
        <source>原材料宽度</source>
        <translation>Sheet width</translation>
    </message>
    <message>
        <source>张数</source>
        <translation>Sheets</translation>
    </message>
    <message>
        <source>每张数量</source>
        <translation>Per sheet</translation>
    </message>
    <message>
        <source>合计数量</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>切割%1</source>
        <translation>Layout %1</translation>
    </message>
    <message>
        <source>无法生成Excel文件：不能建立临时文件夹（%1）</source>
        <translation>Cannot make the Excel file: cannot create a temporary folder (%1)</translation>
    </message>
    <message>
        <source>无法生成Excel文件：内存不足</source>
        <translation>Cannot make the Excel file: out of memory</translation>
    </message>
    <message>
        <source>无法生成Excel文件：不能建立工作表“%1”</source>
        <translation>Cannot make the Excel file: cannot create the worksheet “%1”</translation>
    </message>
</context>
<context>
    <name>TextDecode</name>
    <message>
        <source>文件开头标明是UTF-8编码，但其中有不是UTF-8的字节：文件可能已损坏。</source>
        <translation>The file says at its start that it is UTF-8, but it holds bytes that are not UTF-8: the file may be damaged.</translation>
    </message>
    <message>
        <source>文件开头标明是UTF-16编码，但内容不是有效的UTF-16文字：文件可能已损坏。</source>
        <translation>The file says at its start that it is UTF-16, but its content is not valid UTF-16 text: the file may be damaged.</translation>
    </message>
    <message>
        <source>这不是文本文件（其中有文本文件不会有的控制字节）：请选择CSV、文本或Excel(.xlsx)文件。</source>
        <translation>This is not a text file (it holds control bytes no text file has): choose a CSV, text or Excel (.xlsx) file.</translation>
    </message>
    <message>
        <source>无法识别</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>（不支持）</source>
        <translation> (not supported)</translation>
    </message>
    <message>
        <source>无法识别文件的文字编码（%1）：请在表格程序中另存为UTF-8或GBK编码的CSV文件，或者Excel(.xlsx)文件。</source>
        <translation>The text encoding of the file is not recognized (%1): save it from your spreadsheet program as a CSV file in UTF-8 or GBK, or as an Excel (.xlsx) file.</translation>
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
        <translation>&amp;Settings</translation>
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
    <name>TfrmMaterial</name>
    <message>
        <source>方案名称</source>
        <translation>Scheme</translation>
    </message>
    <message>
        <source>利用率(%)</source>
        <translation>Util. (%)</translation>
    </message>
    <message>
        <source>板材用量</source>
        <translation>Sheets</translation>
    </message>
    <message>
        <source>总面积</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>总金额</source>
        <translation>Cost</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>刀口</source>
        <translation>Kerf</translation>
    </message>
    <message>
        <source>价格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Quantity</translation>
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
        <source>优化排样</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>优化排样|根据选中的项目方案进行优化</source>
        <translation>Layout|Lay out the selected scheme</translation>
    </message>
    <message>
        <source>增加工程</source>
        <translation>New</translation>
    </message>
    <message>
        <source>增加工程|增加需要计算的项目数据</source>
        <translation>New project|Add a project to lay out</translation>
    </message>
    <message>
        <source>删除工程</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除工程|删除项目数据</source>
        <translation>Delete project|Delete the project and its data</translation>
    </message>
    <message>
        <source>保存工程</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存工程|保存项目数据</source>
        <translation>Save project|Save the project data</translation>
    </message>
    <message>
        <source>计算全部方案</source>
        <translation>All schemes</translation>
    </message>
    <message>
        <source>计算全部方案|用结果窗口的选项依次计算本工程的每个方案，把结果写入方案表以便比较</source>
        <translation>Lay out all schemes|Lay out every scheme of the project in turn with the options of the results window and write the results into the scheme list for comparison</translation>
    </message>
    <message>
        <source>工程编号,系统自动生成。</source>
        <translation>Project number, made by the program.</translation>
    </message>
    <message>
        <source>加工方案</source>
        <translation>Cutting schemes</translation>
    </message>
    <message>
        <source>提供的原材料</source>
        <translation>Sheets offered</translation>
    </message>
    <message>
        <source>工程需要切割的零件</source>
        <translation>Parts to cut for the project</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>选择原材料</source>
        <translation>Choose sheets</translation>
    </message>
    <message>
        <source>选择零件</source>
        <translation>Choose parts</translation>
    </message>
    <message>
        <source>导入原材料…</source>
        <translation>Import sheets…</translation>
    </message>
    <message>
        <source>导入零件…</source>
        <translation>Import parts…</translation>
    </message>
    <message>
        <source>方案</source>
        <translation>Scheme </translation>
    </message>
    <message>
        <source>提供的原材料 </source>
        <translation>sheets offered: </translation>
    </message>
    <message>
        <source>工程需要切割的零件 </source>
        <translation>Parts to cut: </translation>
    </message>
    <message>
        <source>工程还没有加工方案：请在“加工方案”表中增加一个方案。</source>
        <translation>The project has no cutting scheme yet: add a scheme to the “Cutting schemes” list.</translation>
    </message>
    <message>
        <source>方案“%1”还没有提供的原材料：请在“提供的原材料”表中右击，选择原材料。</source>
        <translation>Scheme “%1” offers no sheets yet: right-click the “Sheets offered” list and choose sheets.</translation>
    </message>
    <message>
        <source>工程还没有需要切割的零件：请在“工程需要切割的零件”表中右击，选择零件。</source>
        <translation>The project has no parts to cut yet: right-click the “Parts to cut for the project” list and choose parts.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>以下数据不能用于优化排样，请改正或删除后再试：
</source>
        <translation>These rows cannot be laid out; correct or delete them and try again:
</translation>
    </message>
    <message>
        <source>还不能优化排样：
</source>
        <translation>Nothing can be laid out yet:
</translation>
    </message>
    <message>
        <source>导入原材料</source>
        <translation>Import sheets</translation>
    </message>
    <message>
        <source>导入零件</source>
        <translation>Import parts</translation>
    </message>
    <message>
        <source>正在停止……</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>计算全部方案：%1（%2/%3）  %4</source>
        <translation>All schemes: %1 (%2/%3)  %4</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>计算全部方案已停止：算完 %1 个方案</source>
        <translation>All schemes stopped: %1 schemes done</translation>
    </message>
    <message>
        <source>计算全部方案完成：%1 个方案</source>
        <translation>All schemes done: %1 schemes</translation>
    </message>
    <message>
        <source>以下方案未能算完，保留原来的结果：
</source>
        <translation>These schemes could not be completed and keep their earlier results:
</translation>
    </message>
    <message>
        <source>是否要执行删除操作！</source>
        <translation>Do you want to delete it?</translation>
    </message>
    <message>
        <source>警告...</source>
        <translation>Warning...</translation>
    </message>
    <message>
        <source>是否删除数据！</source>
        <translation>Delete the data?</translation>
    </message>
    <message>
        <source>没有单号为“%1”的工程</source>
        <translation>There is no project numbered “%1”</translation>
    </message>
    <message>
        <source>正在进行深度优化：请先在结果窗口中按“停止”，或等它算完。</source>
        <translation>A deep optimization is running: press “Stop” in the results window first, or wait until it ends.</translation>
    </message>
    <message>
        <source>请先用“增加工程”建立一个工程</source>
        <translation>Create a project with “New project” first</translation>
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
        <translation>Price of an offcut taken into stock = the sheet&apos;s price per square metre × the offcut&apos;s area × this ratio</translation>
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
    <name>TfrmPreview</name>
    <message>
        <source>切割排版预览</source>
        <translation>Layout preview</translation>
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
        <source>打印本页</source>
        <translation>Print page</translation>
    </message>
    <message>
        <source>打印本页|仅打印本排样图</source>
        <translation>Print page|Print this layout only</translation>
    </message>
    <message>
        <source>打印所有</source>
        <translation>Print all</translation>
    </message>
    <message>
        <source>打印所有|打印全部排样图</source>
        <translation>Print all|Print every layout</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>放大|排样图放大</source>
        <translation>Zoom in|Enlarge the drawing</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>缩小|排样图缩小</source>
        <translation>Zoom out|Reduce the drawing</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>上一页|显示上一页</source>
        <translation>Previous|Show the previous page</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>下一页|显示下一页</source>
        <translation>Next|Show the next page</translation>
    </message>
    <message>
        <source>页面设置</source>
        <translation>Page setup</translation>
    </message>
    <message>
        <source>页面设置|设置纸张边距</source>
        <translation>Page setup|Set the paper and its margins</translation>
    </message>
    <message>
        <source>车间图</source>
        <translation>Workshop</translation>
    </message>
    <message>
        <source>车间图|每张排版一页：尺寸线、锯切顺序、零件表和余料，供车间下料</source>
        <translation>Workshop printout|One page per layout with dimension lines, cut order, part list and offcuts, for cutting in the workshop</translation>
    </message>
    <message>
        <source>总页数</source>
        <translation>Pages</translation>
    </message>
    <message>
        <source>当前页</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>原材料数量</source>
        <translation>Sheets</translation>
    </message>
    <message>
        <source>%1页</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1个</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>保存为 PDF 文件</source>
        <translation>Save as a PDF file</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>切割排版.pdf</source>
        <translation>layouts.pdf</translation>
    </message>
    <message>
        <source>无法开始打印作业</source>
        <translation>Cannot start the print job</translation>
    </message>
    <message>
        <source>打印作业未能完成</source>
        <translation>The print job could not be completed</translation>
    </message>
    <message>
        <source>

要重新设置页面吗？损坏的文件将保存为“Config.bad”。</source>
        <translation>

Set the page up afresh? The damaged file is kept as “Config.bad”.</translation>
    </message>
    <message>
        <source>已保存 PDF 文件：%1</source>
        <translation>PDF file saved: %1</translation>
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
    <name>TfrmTypeSet</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭|关闭此窗体</source>
        <translation>Close|Close this window</translation>
    </message>
    <message>
        <source>优化计算</source>
        <translation>Optimize</translation>
    </message>
    <message>
        <source>优化计算|根据选中的项目方案进行优化计算</source>
        <translation>Optimize|Lay out the scheme handed over from the project</translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>打印预览|预览实际排样情况</source>
        <translation>Print preview|Preview the layouts as they print</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>放大|排样图放大</source>
        <translation>Zoom in|Enlarge the drawing</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>缩小|排样图缩小</source>
        <translation>Zoom out|Reduce the drawing</translation>
    </message>
    <message>
        <source>锯切顺序</source>
        <translation>Cut order</translation>
    </message>
    <message>
        <source>锯切顺序|在排样图上显示每一刀的位置和顺序，并列出锯切清单和余料</source>
        <translation>Cut order|Show where each cut goes and in which order on the drawing, with the cut list and the offcuts</translation>
    </message>
    <message>
        <source>车间图</source>
        <translation>Workshop</translation>
    </message>
    <message>
        <source>车间图|每张排版一页：尺寸线、锯切顺序、零件表和余料，供车间下料</source>
        <translation>Workshop printout|One page per layout with dimension lines, cut order, part list and offcuts, for cutting in the workshop</translation>
    </message>
    <message>
        <source>导出用料表…</source>
        <translation>Export material list…</translation>
    </message>
    <message>
        <source>导出用料表|把原材料用量、零件表和每个排版的零件导出为 Excel 或 CSV 文件</source>
        <translation>Export material list|Export the sheet usage, the part list and the parts of every layout as an Excel or CSV file</translation>
    </message>
    <message>
        <source>导出排版图（DXF）…</source>
        <translation>Export drawings (DXF)…</translation>
    </message>
    <message>
        <source>导出排版图（DXF）|每个排版一个 DXF 文件，含零件和锯切线，供 CAD 和数控锯使用</source>
        <translation>Export drawings (DXF)|One DXF file per layout with its parts and cut lines, for CAD and CNC saws</translation>
    </message>
    <message>
        <source>导出排版图（SVG）…</source>
        <translation>Export drawings (SVG)…</translation>
    </message>
    <message>
        <source>导出排版图（SVG）|每个排版一个按比例的 SVG 图</source>
        <translation>Export drawings (SVG)|One SVG drawing to scale per layout</translation>
    </message>
    <message>
        <source>打印标签…</source>
        <translation>Print labels…</translation>
    </message>
    <message>
        <source>打印标签|每个零件一张标签（条码、名称、尺寸、排版号），保存为 PDF</source>
        <translation>Print labels|One label per piece (barcode, name, size, layout number), saved as a PDF file</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>导出|导出用料表、排版图和零件标签</source>
        <translation>Export|Export material lists, drawings and part labels</translation>
    </message>
    <message>
        <source>显示比例</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>大板优先</source>
        <translation>Big first</translation>
    </message>
    <message>
        <source>优先使用大尺寸原材料</source>
        <translation>Use the largest sheets first</translation>
    </message>
    <message>
        <source>成本优先</source>
        <translation>Cost first</translation>
    </message>
    <message>
        <source>使用低价原材料</source>
        <translation>Use the cheapest sheets</translation>
    </message>
    <message>
        <source>深度优化</source>
        <translation>Deep</translation>
    </message>
    <message>
        <source>在给定时间内搜索用料最少（勾选成本优先时为成本最低）的排样，计算时可随时停止</source>
        <translation>Search within the given time for the layout that uses the least material (the lowest cost with Cost first); it can be stopped at any time</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>深度优化的计算时间</source>
        <translation>Time for the deep optimization</translation>
    </message>
    <message>
        <source>深度优化最多计算的时间（1 到 3600 秒）；证明最优时提前结束</source>
        <translation>The most time the deep optimization takes (1 to 3600 seconds); it ends early once the result is proven optimal</translation>
    </message>
    <message>
        <source>原材料使用汇总</source>
        <translation>Sheet usage</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>用量</source>
        <translation>Used</translation>
    </message>
    <message>
        <source>切割方案详情</source>
        <translation>Layout details</translation>
    </message>
    <message>
        <source>标识</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Qty</translation>
    </message>
    <message>
        <source>转到切割</source>
        <translation>Go to layout</translation>
    </message>
    <message>
        <source>输入排版序号后按回车，直接转到该排版（Ctrl+G）</source>
        <translation>Type a layout number and press Enter to go straight to it (Ctrl+G)</translation>
    </message>
    <message>
        <source>深度优化证明的下界：任何排样所需的原材料（或成本）都不会少于它；差距是本结果比下界多出的比例</source>
        <translation>The lower bound proven by the deep optimization: no layout needs less sheet material (or cost); the gap is how far this result lies above it</translation>
    </message>
    <message>
        <source>正在停止……</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>深度优化意外中止</source>
        <translation>The deep optimization ended unexpectedly</translation>
    </message>
    <message>
        <source>目前最好：%1 张</source>
        <translation>Best so far: %1 sheets</translation>
    </message>
    <message>
        <source>，成本 </source>
        <translation>, cost </translation>
    </message>
    <message>
        <source>，利用率 </source>
        <translation>, utilization </translation>
    </message>
    <message>
        <source>（已排 %1/%2 件）</source>
        <translation> (%1/%2 pieces placed)</translation>
    </message>
    <message>
        <source>深度优化 %1 秒</source>
        <translation>Deep %1 s</translation>
    </message>
    <message>
        <source>计算已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>停止|停止深度优化，保留目前找到的最好排样</source>
        <translation>Stop|Stop the deep optimization and keep the best layout found so far</translation>
    </message>
    <message>
        <source>%1（%2×%3）：还差 %4 件</source>
        <translation>%1 (%2×%3): %4 pieces short</translation>
    </message>
    <message>
        <source>……另有 %1 种零件</source>
        <translation>…and %1 more part kinds</translation>
    </message>
    <message>
        <source>计算异常：以下零件没有排下。
</source>
        <translation>The run did not complete: these parts were not placed.
</translation>
    </message>
    <message>
        <source>

请检查这些零件的长、宽（加上刀口）是否超过了本方案提供的所有原材料。</source>
        <translation>

Check whether the length and width of these parts (plus the kerf) exceed every sheet this scheme offers.</translation>
    </message>
    <message>
        <source>切割%1</source>
        <translation>Layout %1</translation>
    </message>
    <message>
        <source>计算异常,耗时:%1ms</source>
        <translation>Not completed, %1 ms</translation>
    </message>
    <message>
        <source>计算完成,耗时:%1ms</source>
        <translation>Done in %1 ms</translation>
    </message>
    <message>
        <source>原材料名称</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>原材料尺寸：%1×%2</source>
        <translation>Sheet size: %1×%2</translation>
    </message>
    <message>
        <source>材料利用率：%1%</source>
        <translation>Layout utilization: %1%</translation>
    </message>
    <message>
        <source>零件总数：%1</source>
        <translation>Parts: %1</translation>
    </message>
    <message>
        <source>余料：无</source>
        <translation>Offcuts: none</translation>
    </message>
    <message>
        <source>余料：
</source>
        <translation>Offcuts:
</translation>
    </message>
    <message>
        <source>导出用料表</source>
        <translation>Export material list</translation>
    </message>
    <message>
        <source>Excel 工作簿 (*.xlsx);;CSV 文件（每个排版的零件） (*.csv)</source>
        <translation>Excel workbook (*.xlsx);;CSV file, parts of every layout (*.csv)</translation>
    </message>
    <message>
        <source>用料表.xlsx</source>
        <translation>material-list.xlsx</translation>
    </message>
    <message>
        <source>已导出：%1</source>
        <translation>Exported: %1</translation>
    </message>
    <message>
        <source>选择保存 DXF 排版图的文件夹</source>
        <translation>Choose the folder for the DXF drawings</translation>
    </message>
    <message>
        <source>已导出 %1 个 DXF 文件到：%2</source>
        <translation>Exported %1 DXF files to: %2</translation>
    </message>
    <message>
        <source>选择保存 SVG 排版图的文件夹</source>
        <translation>Choose the folder for the SVG drawings</translation>
    </message>
    <message>
        <source>已导出 %1 个 SVG 文件到：%2</source>
        <translation>Exported %1 SVG files to: %2</translation>
    </message>
    <message>
        <source>打印标签</source>
        <translation>Print labels</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>零件标签.pdf</source>
        <translation>part-labels.pdf</translation>
    </message>
    <message>
        <source>已保存标签：%1</source>
        <translation>Labels saved: %1</translation>
    </message>
    <message>
        <source>相同尺寸有不同价格：勾选成本优先或深度优化可降低成本</source>
        <translation>One size comes at different prices: tick Cost first or Deep optimization to lower the cost</translation>
    </message>
    <message>
        <source>正在计算...</source>
        <translation>Calculating...</translation>
    </message>
    <message>
        <source>确认下料</source>
        <translation>Confirm cutting</translation>
    </message>
    <message>
        <source>确认下料|按这次排样下料：从原材料库存中减去用掉的原材料，并把余料加入原材料库</source>
        <translation>Confirm cutting|Cut by this layout: take the sheets used out of the stock and add the offcuts to the sheet library</translation>
    </message>
    <message>
        <source>
库存已经用完的原材料：%1。请增加库存，或在本方案中提供其他原材料。</source>
        <translation>
Sheets whose stock is used up: %1. Add to their stock, or offer other sheets in this scheme.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>这次排样已经确认下料了，不能再确认一次。</source>
        <translation>This layout run has been confirmed already; it cannot be confirmed again.</translation>
    </message>
    <message>
        <source>还没有完成的排样：请先优化计算，全部零件排完后再确认下料。</source>
        <translation>There is no finished layout: optimize first, and confirm the cutting once every part is placed.</translation>
    </message>
    <message>
        <source>大板优先</source>
        <comment>tool tip</comment>
        <translation>Big sheets first</translation>
    </message>
    <message>
        <source>深度优化</source>
        <comment>tool tip</comment>
        <translation>Deep optimization</translation>
    </message>
</context>
<context>
    <name>TfrmWorkshop</name>
    <message>
        <source>车间图预览</source>
        <translation>Workshop printout preview</translation>
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
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打印|打印车间图（没有打印机时存为 PDF 文件）</source>
        <translation>Print|Print the workshop pages (saved as a PDF file without a printer)</translation>
    </message>
    <message>
        <source>保存PDF</source>
        <translation>Save PDF</translation>
    </message>
    <message>
        <source>保存PDF|把车间图存为 PDF 文件</source>
        <translation>Save PDF|Save the workshop pages as a PDF file</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>放大|页面放大</source>
        <translation>Zoom in|Enlarge the page</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>缩小|页面缩小</source>
        <translation>Zoom out|Reduce the page</translation>
    </message>
    <message>
        <source>整页</source>
        <translation>Fit page</translation>
    </message>
    <message>
        <source>整页|显示整个页面</source>
        <translation>Fit page|Show the whole page</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>上一页|显示上一页</source>
        <translation>Previous|Show the previous page</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>下一页|显示下一页</source>
        <translation>Next|Show the next page</translation>
    </message>
    <message>
        <source>没有页面</source>
        <translation>No pages</translation>
    </message>
    <message>
        <source>第 %1 页 / 共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>排版 %1 / %2</source>
        <translation>Layout %1 of %2</translation>
    </message>
    <message>
        <source>保存车间图为 PDF 文件</source>
        <translation>Save the workshop printout as a PDF file</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>车间图.pdf</source>
        <translation>workshop.pdf</translation>
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
<context>
    <name>Workshop</name>
    <message>
        <source>锯切顺序  共 %1 刀，%2 个阶段</source>
        <translation>Cut order  %1 cuts, %2 stages</translation>
    </message>
    <message>
        <source>锯切顺序</source>
        <translation>Cut order</translation>
    </message>
    <message>
        <source>无需锯切</source>
        <translation>No cuts needed</translation>
    </message>
    <message>
        <source>位置：从所切板块的左边或上边量起（mm）</source>
        <translation>At: from the left or top edge of the piece being cut (mm)</translation>
    </message>
    <message>
        <source>锯缝在锯线的右侧或下方</source>
        <translation>The kerf lies right of or below the line</translation>
    </message>
    <message>
        <source>零件  共 %1 件</source>
        <translation>Parts  %1 pieces</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>尺寸（长×宽）</source>
        <translation>Size (L×W)</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Qty</translation>
    </message>
    <message>
        <source>余料</source>
        <translation>Offcuts</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>车间图</source>
        <translation>Workshop sheet</translation>
    </message>
    <message>
        <source>工程 %1</source>
        <translation>Project %1</translation>
    </message>
    <message>
        <source>方案 %1</source>
        <translation>Scheme %1</translation>
    </message>
    <message>
        <source>排版 %1 / %2%3</source>
        <translation>Layout %1 / %2%3</translation>
    </message>
    <message>
        <source>（续）</source>
        <translation> (cont.)</translation>
    </message>
    <message>
        <source>原材料 </source>
        <translation>Sheet </translation>
    </message>
    <message>
        <source>刀口 %1 mm</source>
        <translation>Kerf %1 mm</translation>
    </message>
    <message>
        <source>本排版 %1 张</source>
        <translation>%1 sheets of this layout</translation>
    </message>
    <message>
        <source>利用率 %1%</source>
        <translation>Utilization %1%</translation>
    </message>
    <message>
        <source>第 %1 页 / 共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>无法开始打印作业</source>
        <translation>Cannot start the print job</translation>
    </message>
    <message>
        <source>打印作业未能完成</source>
        <translation>The print job could not be completed</translation>
    </message>
    <message>
        <source>没有可打印的排版</source>
        <translation>there is no layout to print</translation>
    </message>
    <message>
        <source>无法写入 PDF 文件“%1”：%2</source>
        <translation>Cannot write the PDF file “%1”: %2</translation>
    </message>
    <message>
        <source>修边 %1 mm</source>
        <translation>Trim %1 mm</translation>
    </message>
    <message>
        <source>有纹理</source>
        <translation>Grained</translation>
    </message>
</context>
<context>
    <name>XlsxReader</name>
    <message>
        <source>Excel(.xlsx)文件已损坏，无法读取：请在Excel中打开并另存后再导入。</source>
        <translation>The Excel (.xlsx) file is damaged and cannot be read: open it in Excel, save it again and import it.</translation>
    </message>
    <message>
        <source>这个Excel文件有密码保护：请在Excel中去掉密码后再导入。</source>
        <translation>This Excel file is protected by a password: remove the password in Excel, then import it.</translation>
    </message>
    <message>
        <source>Excel(.xlsx)文件解压后太大（超过%1MB），不能导入：请只保留零件清单后另存再导入。</source>
        <translation>The Excel (.xlsx) file is too large once unpacked (more than %1 MB) to import: keep only the part list, save it again and import it.</translation>
    </message>
    <message>
        <source>这个文件不是Excel(.xlsx)工作簿（缺少workbook.xml）：请选择CSV、文本或Excel(.xlsx)文件。</source>
        <translation>This file is not an Excel (.xlsx) workbook (workbook.xml is missing): choose a CSV, text or Excel (.xlsx) file.</translation>
    </message>
    <message>
        <source>Excel(.xlsx)文件里没有工作表。</source>
        <translation>The Excel (.xlsx) file has no worksheet.</translation>
    </message>
    <message>
        <source>Excel(.xlsx)文件的内容太多，不能导入。</source>
        <translation>The Excel (.xlsx) file holds too much to import.</translation>
    </message>
    <message>
        <source>第%1行在第%2列之后还有内容，表格太宽，不能导入：请只保留零件清单后另存再导入。</source>
        <translation>Row %1 goes on beyond column %2: the table is too wide to import. Keep only the part list, save it again and import it.</translation>
    </message>
    <message>
        <source>表格超过%1行，不能导入。</source>
        <translation>The table has more than %1 rows and cannot be imported.</translation>
    </message>
    <message>
        <source>这个文件不是有效的Excel(.xlsx)文件：文件可能已损坏，或者只是改了扩展名。</source>
        <translation>This file is not a valid Excel (.xlsx) file: it may be damaged, or only its extension was changed.</translation>
    </message>
</context>
</TS>
