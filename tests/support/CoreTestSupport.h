// Helpers for tests of code that throws framework exceptions (heap pointers the catcher deletes).
#pragma once

#include "lang/DExceptionBase.h"

#include <gtest/gtest.h>

#include <functional>

namespace coretest {

// The code of the framework exception that fn throws, or 0 when it throws none.
inline int32_t thrownCode(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (qev::lang::DExceptionBase* e) {
        int32_t code = e->code;
        delete e;
        return code;
    }
    return 0;
}

} // namespace coretest

#define EXPECT_THROWS_CODE(code, statement)                                                        \
    EXPECT_EQ((code), coretest::thrownCode([&] { statement; }))
