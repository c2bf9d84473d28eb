#include "grid/core/gxstate.h"

#include <algorithm>

#include "grid/core/gxdrawsvc.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxformat.h"

CGXLibraryData* GXGetAppData()
{
    static CGXLibraryData s_data;
    return &s_data;
}

BOOL GXParseNumber(const char* pszText, double& value)
{
    CGXAbstractNumberFormattingImp* imp = GXGetAppData()->m_pNumberFormattingImp;
    return imp && pszText && imp->ParseNumber(pszText, value);
}

// ---- State ----

CGXGridLibraryState::CGXGridLibraryState()
{
    // Made first so that it is destroyed after this state, whose shutdown clears its slots.
    GXGetAppData();
}

CGXGridLibraryState::~CGXGridLibraryState()
{
    delete m_pControlFactory;
    m_pControlFactory = nullptr;
    delete m_pTabWndInterface;
    m_pTabWndInterface = nullptr;
    for (auto*& p : m_pGridListener) {
        delete p;
        p = nullptr;
    }
    delete m_pDrawingAndFormatting;
    m_pDrawingAndFormatting = nullptr;
    for (auto*& p : m_pEngineStates) {
        delete p;
        p = nullptr;
    }
    CGXLibraryData* pCore = GXGetAppData();
    if (pCore->m_pNumberFormattingImp == m_pNumberFormattingImp)
        pCore->m_pNumberFormattingImp = nullptr;
    m_pDateTimeImp = nullptr;
    m_pNumberFormattingImp = nullptr;
    m_pDrawRotatedTextImp = nullptr;
    for (auto& del : m_deleteList)
        del();
    m_deleteList.clear();
}

CGXGridLibraryState& GXGetLibraryState()
{
    static CGXGridLibraryState state;
    return state;
}

void CGXGridLibraryState::RegisterRuntimeClassOnce(CRuntimeClass* pClass)
{
    if (pClass && std::find(m_registeredClasses.begin(), m_registeredClasses.end(), pClass) == m_registeredClasses.end())
        m_registeredClasses.push_back(pClass);
}

void CGXGridLibraryState::RegisterGridOfData(const void* pData, CGXGridCore* pGrid)
{
    if (pData && pGrid)
        m_gridsOfData[pData].push_back(pGrid);
}

void CGXGridLibraryState::UnregisterGrid(CGXGridCore* pGrid)
{
    for (auto it = m_gridsOfData.begin(); it != m_gridsOfData.end();) {
        auto& grids = it->second;
        grids.erase(std::remove(grids.begin(), grids.end(), pGrid), grids.end());
        if (grids.empty())
            it = m_gridsOfData.erase(it);
        else
            ++it;
    }
}

CGXGridCore* CGXGridLibraryState::LookupGridOfData(const void* pData) const
{
    auto it = m_gridsOfData.find(pData);
    return it == m_gridsOfData.end() || it->second.empty() ? nullptr : it->second.front();
}
