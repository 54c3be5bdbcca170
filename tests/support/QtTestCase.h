#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <clocale>
#include <memory>

// A test suite with one Qt application object for its event loop. Like the program, it puts
// LC_NUMERIC back to "C" after creating it (Qt takes the locale from the environment).
class QtTestCase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "cartena-test";
        static char* argv[] = {name, nullptr};
        application() = std::make_unique<QCoreApplication>(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    static void TearDownTestSuite() { application().reset(); }

private:
    static std::unique_ptr<QCoreApplication>& application() {
        static std::unique_ptr<QCoreApplication> instance;
        return instance;
    }
};
