#pragma once
// The sheet library editor: 原材料信息表 with the columns 名称, 长, 宽, 价格, 纹理 (有 / 无), 修边
// and 库存 (empty: no count kept). Opened by the main window's command 原材料管理 (F4).

#include "fmLibraryEditor.h"

class TfrmYCLinfo : public TfrmLibraryEditor
{
    Q_OBJECT
public:
    explicit TfrmYCLinfo(QWidget *parent = nullptr);
    ~TfrmYCLinfo() override; // empties frmYCLinfo
    static TLibraryDef definition();
};

// The sheet library editor while it exists.
extern TfrmYCLinfo *frmYCLinfo;
