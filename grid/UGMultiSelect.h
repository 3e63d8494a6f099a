#pragma once
// The cells the user has selected, as a list of rectangular blocks in the order they were
// started. A later block decides a cell's state over an earlier one unless mode bit 16 is set.

class CUGCtrl;
class CUGGridInfo;

constexpr int UG_MULTISELECT_OFF = 0;
constexpr int UG_MULTISELECT_CELL = 1;
constexpr int UG_MULTISELECT_ROW = 2;
constexpr int UG_MULTISELECT_NODESELECT = 16;

class CUGMultiSelect {
public:
    CUGMultiSelect() = default;
    virtual ~CUGMultiSelect();
    CUGMultiSelect(const CUGMultiSelect&) = delete;
    CUGMultiSelect& operator=(const CUGMultiSelect&) = delete;

    void SetGrid(CUGCtrl* grid, CUGGridInfo* sheet)
    {
        m_ctrl = grid;
        m_GI = sheet;
    }

    virtual int ClearAll();
    virtual int StartBlock(int col, int row);
    virtual int ExtendBlock(int col, int row);
    virtual void OnLeftPress(int col, int row, unsigned keyFlags);
    virtual void OnRightPress(int col, int row, unsigned keyFlags);
    virtual void OnKeyMove(int col, int row);
    virtual void OnMouseDrag(int col, int row, unsigned keyFlags);
    virtual int ToggleCell(int col, int row);
    virtual int GetAnchor(int* col, int* row);
    virtual int GetNewestBlock(int* left, int* top, int* right, int* bottom);
    virtual int GetTotalRange(int* left, int* top, int* right, int* bottom);
    virtual int GetBlockCount();
    virtual int IsSelected(int col, int row, int* block = nullptr);
    virtual int IsColumnSelected(int col);
    virtual int IsRowSelected(int row);
    virtual int SetMode(int mode);
    virtual int GetMode();
    virtual int EnumFirst(int* col, int* row);
    virtual int EnumNext(int* col, int* row);
    virtual int EnumFirstBlock(int* left, int* top, int* right, int* bottom);
    virtual int EnumNextBlock(int* left, int* top, int* right, int* bottom);

private:
    struct Block {
        int startCol = 0;
        int endCol = 0;
        int startRow = 0;
        int endRow = 0;
        int left = 0;
        int right = 0;
        int top = 0;
        int bottom = 0;
        int selected = 1;
        Block* next = nullptr;
    };

    void Normalise(Block* block) const;
    void RedrawRange(int left, int top, int right, int bottom);
    void RedrawTotalRange();
    // The block that decides the cell's state among those the test accepts, with its position.
    template <typename Holds>
    int Decide(Holds holds, int* position) const;

    Block* m_list = nullptr;
    int m_blockInProgress = 0;
    Block* m_currentBlock = nullptr;
    int m_mode = 0;
    int m_numberBlocks = 0;
    int m_enumLeftCol = 0;
    int m_enumTopRow = 0;
    int m_enumRightCol = 0;
    int m_enumBottomRow = 0;
    int m_enumCol = 0;
    int m_enumRow = 0;
    int m_enumInProgress = 0;
    int m_enumBlockNumber = 0;
    CUGCtrl* m_ctrl = nullptr;
    CUGGridInfo* m_GI = nullptr;
    int m_lastCol = -1;
    int m_lastRow = -1;
    int m_anchorCol = 0;
    int m_anchorRow = 0;
};
