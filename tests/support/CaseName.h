#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Table cases carry a Name: it names the generated test and is what the
// test output prints for the case. Tests in an unnamed namespace bring
// PrintTo in with "using ::PrintTo;".
struct TCaseName
{
    template<typename T>
    std::string operator()(const ::testing::TestParamInfo<T>& info) const
    {
        return info.param.Name;
    }
};

template<typename T>
    requires requires(const T& c) { c.Name; }
void PrintTo(const T& c, std::ostream* os)
{
    *os << c.Name;
}
