#include "CSettingsStore.h"

#include <QSettings>

namespace {

class UserSettingsStore final : public CSettingsStore {
public:
    std::unique_ptr<QSettings> Open(const QString& organization,
                                    const QString& application) override {
        return std::make_unique<QSettings>(organization, application);
    }
};

} // namespace

template <> CSettingsStore& CSeam<CSettingsStore>::Default() {
    static UserSettingsStore user;
    return user;
}
