#include "grid/core/gxlibdata.h"

#include <gtest/gtest.h>

#include "grid/core/gxstate.h"

namespace {

TEST(GXLibraryState, GridsOfDataAndRuntimeClasses)
{
    CGXGridLibraryState& state = GXGetLibraryState();
    int data1 = 0, data2 = 0;
    auto* g1 = reinterpret_cast<CGXGridCore*>(0x1000);
    auto* g2 = reinterpret_cast<CGXGridCore*>(0x2000);
    state.RegisterGridOfData(&data1, g1);
    state.RegisterGridOfData(&data1, g2);
    state.RegisterGridOfData(&data2, g2);
    EXPECT_EQ(state.LookupGridOfData(&data1), g1);
    state.UnregisterGrid(g1);
    EXPECT_EQ(state.LookupGridOfData(&data1), g2);
    state.UnregisterGrid(g2);
    EXPECT_EQ(state.LookupGridOfData(&data1), nullptr);
    EXPECT_EQ(state.LookupGridOfData(&data2), nullptr);
    EXPECT_TRUE(state.m_gridsOfData.empty()) << "empty lists are removed with their key";

    size_t n = state.m_registeredClasses.size();
    state.RegisterRuntimeClassOnce(RUNTIME_CLASS(CObject));
    state.RegisterRuntimeClassOnce(RUNTIME_CLASS(CObject));
    EXPECT_EQ(state.m_registeredClasses.size(), n + 1);
    EXPECT_EQ(FindRegisteredParent(nullptr), nullptr);
}

}  // namespace
