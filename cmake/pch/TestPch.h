// The core set plus GoogleTest, for the test programs.
#pragma once

#include "CorePch.h"

#include <gtest/gtest.h>
