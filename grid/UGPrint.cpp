#include "grid/UGPrint.h"

CUGPrint::~CUGPrint()
{
    while (m_pageList != nullptr) {
        PageNode* next = m_pageList->next;
        delete m_pageList;
        m_pageList = next;
    }
}
