#pragma once
// The part library editor: 零件信息表 with the columns 名称, 长, 宽 and 纹理 (顺纹: the part's length
// runs along the grain of a sheet with grain; 无). Opened by the main window's command 零件管理
// (F3).

#include "fmLibraryEditor.h"

class TfrmLJinfo : public TfrmLibraryEditor
{
    Q_OBJECT
public:
    explicit TfrmLJinfo(QWidget *parent = nullptr);
    ~TfrmLJinfo() override; // empties frmLJinfo
    static TLibraryDef definition();
};

// The part library editor while it exists.
extern TfrmLJinfo *frmLJinfo;
