#include <gtest/gtest.h>

#include "app/velmoraform.h"

using namespace velmora;

TEST(TVelmoraForm, CaptionIsTheProgramName) {
    TVelmoraForm form;
    EXPECT_EQ(form.windowTitle().toStdString(), "Velmora");
}
