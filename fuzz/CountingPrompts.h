#pragma once
// The user as the editors' fuzz targets see them: counts beeps and errors,
// answers no question and picks no file.
#include "core/UserPrompts.h"

class CountingPrompts final : public telvar5::UserPrompts {
public:
    int beeps = 0;
    int errors = 0;

    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void beep() override { ++beeps; }
    void showError(const std::string&, const std::string&) override { ++errors; }
    std::optional<std::string> askOpenFileName(const telvar5::FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> askSaveFileName(const telvar5::FileDialogOptions&) override { return std::nullopt; }
};
