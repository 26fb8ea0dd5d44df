#pragma once

#include "IShellOpener.h"

// The real desktop "open" through xdg-open.
class CShellOpener final : public IShellOpener {
public:
    static constexpr int kSuccess = 42;
    static constexpr int kFileNotFound = 2;
    static constexpr int kPathNotFound = 3;
    static constexpr int kAccessDenied = 5;
    static constexpr int kNoAssociation = 31;

    int Open(const QString& name) override;
};
