// Linked into the test programs of the editor's own layers (dialogs, views,
// application): before the first test, the editor's resource tables are
// registered with the framework, as the editor does when it starts.

#include "res/KantelResources.h"

#include <gtest/gtest.h>

namespace {

class ProgramResources final : public ::testing::Environment {
public:
    void SetUp() override { KantelResources::Register(); }
};

::testing::Environment* const g_programResources =
    ::testing::AddGlobalTestEnvironment(new ProgramResources);

} // namespace
