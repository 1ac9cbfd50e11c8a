#include "export/SolvySettings.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>

namespace {
constexpr const char* kOrganisation = "Olvane Zerarezizuz";
constexpr const char* kApplication = "PlanoraPro";
constexpr const char* kGroup = "Initialisation/PlanoraPro";
constexpr const char* kValue = "ConfigSolvy";

class TQSettingsStore final : public TSolvyConfigStore {
public:
    std::optional<std::vector<std::uint8_t>> Read() override {
        QSettings s(kOrganisation, kApplication);
        s.beginGroup(kGroup);
        if (!s.contains(kValue)) return std::nullopt;
        const QVariant v = s.value(kValue);
        if (v.typeId() != QMetaType::QByteArray)
            throw TSolvySettingsError(std::string("Invalid data type for '") + kValue + "'");
        const QByteArray bytes = v.toByteArray();
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }

    void Write(const std::uint8_t* data, std::size_t size) override {
        QSettings s(kOrganisation, kApplication);
        s.beginGroup(kGroup);
        s.setValue(kValue, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        s.endGroup();
        s.sync();
        if (s.status() != QSettings::NoError)
            throw TSolvySettingsError(std::string("Failed to set data for '") + kValue + "' in < " +
                                 s.fileName().toStdString() + " >");
    }
};
}  // namespace

TSolvyConfigStore& SolvySettingsStore() {
    static TQSettingsStore store;
    return store;
}
