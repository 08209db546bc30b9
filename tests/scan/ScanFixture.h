#pragma once
#include "app/GlobalOptions.h"
#include "scan/Roots.h"

#include <QCoreApplication>
#include <filesystem>
#include <QElapsedTimer>
#include <QSettings>
#include <QEventLoop>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

// A fresh options object and roots collection, and helpers to build fixture
// trees and to scan them to the end.
class ScanFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings().clear();
        Options = std::make_unique<kelvane::TGlobalOptions>();
        kelvane::SetGlobalOptions(Options.get());
        Roots = std::make_unique<kelvane::TRoots>();
        Roots->ForceRootErrors = false;
    }
    void TearDown() override
    {
        // Names that are not UTF-8 cannot be removed through Qt's text paths.
        std::error_code ignored;
        std::filesystem::remove_all(Dir.path().toStdString(), ignored);
        Roots.reset();
        kelvane::SetGlobalOptions(nullptr);
        Options.reset();
    }

    // Scans the path and returns its root once the scan has ended.
    kelvane::TRoot* Scan(const QString& path, int threads = 0)
    {
        Roots->ThreadLimit = threads;
        bool ended = false;
        auto connection = QObject::connect(Roots.get(), &kelvane::TRoots::ScanEnded, [&] { ended = true; });
        const auto roots = Roots->ScanPath(path);
        QElapsedTimer timer;
        timer.start();
        while (!roots.empty() && !ended && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QObject::disconnect(connection);
        return roots.empty() ? nullptr : roots.front();
    }

    std::string Path(const std::string& relative = {}) const { return Dir.path().toStdString() + "/" + relative; }
    void MakeFolder(const std::string& relative);
    void MakeFile(const std::string& relative, int64_t size, bool sparse = false);

    QTemporaryDir Dir;
    std::unique_ptr<kelvane::TGlobalOptions> Options;
    std::unique_ptr<kelvane::TRoots> Roots;
};
