#include "records/archive.h"

#include <gtest/gtest.h>

using namespace vantorel;

TEST(Archive, Placeholder) { SUCCEED(); }
