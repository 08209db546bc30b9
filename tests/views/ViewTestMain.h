#pragma once
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// A view test's main: offscreen window tests in a home of their own, with
// the program's settings names.
template <typename TTest>
int RunViewTests(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Brask Software");
    QApplication::setApplicationName("Kelvane Professional");
    TTest test;
    return QTest::qExec(&test, argc, argv);
}
