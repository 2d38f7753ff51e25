// The print settings that every report page reads: the texts of the title
// block, the note line, the two checks and where the title block goes. The
// program's dialog edits an object of this class; the report code reads it.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CPrintInfoDlg {
public:
    // Where the title block goes.
    enum TitleLocation { Bottom = 0, Top = 1 };

    // Texts empty, checks off, title location -1 (neither: no title block).
    CPrintInfoDlg() = default;

    CString m_company;
    CString m_preparedBy;
    // The title, several lines separated by line feeds (CR LF or LF alone).
    CString m_title;
    // Labels and values of the title block cells; index i is the pair
    // stored under the keys "label<i>" and "field<i>": 0 and 1 on the left,
    // 2 to 6 on the right.
    CString m_label[7];
    CString m_field[7];
    // The note line under the title block.
    CString m_note;
    BOOL m_constructionInfo = FALSE;
    BOOL m_materials = FALSE;
    int m_titleLocation = -1;
};
