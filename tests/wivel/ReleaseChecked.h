// A fixture for tests of owning wrappers: after each test no armed failure
// is left over, and no release failed, so nothing was destroyed twice and
// nothing destroyed was stale.
#pragma once

#include <wivel/except.h>

#include <winapi/host.h>

#include <gtest/gtest.h>

#include <cstddef>

class ReleaseChecked : public ::testing::Test {
protected:
    void SetUp() override { m_releaseFailures = wivel::releaseFailureCount(); }
    void TearDown() override
    {
        winapi::host::clearFailures();
        EXPECT_EQ(wivel::releaseFailureCount(), m_releaseFailures)
            << "every owned object was released exactly once; latest report: "
            << wivel::lastReleaseFailure().call;
    }

private:
    std::size_t m_releaseFailures = 0;
};
