// Holds libcurl's process-wide set-up for the whole test program, as the program itself does.
// Include this header in any test file of a program that performs transfers.
#pragma once

#include "net/CurlGlobal.h"

#include <gtest/gtest.h>

#include <memory>

class CCurlTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { m_pGlobal = std::make_unique<CCurlGlobal>(); }
    void TearDown() override { m_pGlobal.reset(); }

private:
    std::unique_ptr<CCurlGlobal> m_pGlobal;
};

// One registration per program, however many files include this header.
inline ::testing::Environment* const g_pCurlTestEnvironment =
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): the test framework takes it over
    ::testing::AddGlobalTestEnvironment(new CCurlTestEnvironment);
