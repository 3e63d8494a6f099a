#include "grid/UGDataSource.h"

int CUGDataSource::GetNumRows() { return -1; }
int CUGDataSource::ColumnNameAt(int, CString*) { return -1; }
int CUGDataSource::ColumnTypeAt(int, int*) { return -1; }

int CUGDataSource::InsertRow(int) { return -1; }
int CUGDataSource::InsertColumn(int) { return -1; }
int CUGDataSource::RemoveRow(int) { return -1; }
int CUGDataSource::RemoveColumn(int) { return -1; }
int CUGDataSource::RemoveCell(int, int) { return -1; }
int CUGDataSource::RemoveAll() { return -1; }

int CUGDataSource::ReadCell(int, int, CUGCell*) { return -1; }
int CUGDataSource::WriteCell(int, int, CUGCell*) { return -1; }

int CUGDataSource::FindFirst(CString*, int*, int*, int) { return -1; }
int CUGDataSource::FindNext(CString*, int*, int*, int) { return -1; }
int CUGDataSource::SortBy(int*, int, int) { return -1; }
int CUGDataSource::SortByColumn(int, int) { return -1; }

int CUGDataSource::OnMovePastEnd(int, int, int*) { return -1; }
void CUGDataSource::OnRowChange(int, int) {}
void CUGDataSource::OnColumnChange(int, int) {}

int CUGDataSource::AllowCellMove(int, int, int, int) { return 1; }
int CUGDataSource::AllowEditStart(int, int, CWnd**) { return 1; }
int CUGDataSource::AllowEditKey(int, int, CWnd*, UINT*) { return 1; }
int CUGDataSource::AllowEditFinish(int, int, CWnd*, const char*, int) { return 1; }
int CUGDataSource::AllowEditContinue(int, int, int*, int*) { return 1; }

int CUGDataSource::GetPrevNonBlankCol(int*, int) { return -1; }
