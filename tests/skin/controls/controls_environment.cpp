// Every test of the skinned controls runs as the program does: with the controls' start-up made.
#include <gtest/gtest.h>

#include "skin/controls/window_services.h"

namespace {

class SkinControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { skin::InitSkinControls(); }
};

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new SkinControlsEnvironment);

}  // namespace
