#pragma once
// The inverter models a drive reports in parameter 36: the catalogue key of
// each model's name and the largest current it gives. Header-only, so the
// Qt-free policies and their fuzz targets read it without linking.
#include <array>
#include <cstdint>

namespace velmora::model {

struct InverterModel {
    std::uint32_t type;  // parameter 36
    const char* key;     // catalogue key of the model's name
    double maxCurrent;   // A
};

inline constexpr std::array<InverterModel, 2> kInverterModels{{
    {7301, "inv01", 8.0},
    {7302, "inv02", 16.0},
}};

// nullptr for a type no model has.
[[nodiscard]] constexpr const InverterModel* FindInverterModel(std::uint32_t type) {
    for (const auto& model : kInverterModels) {
        if (model.type == type) return &model;
    }
    return nullptr;
}

// "undef" for a type no model has.
[[nodiscard]] constexpr const char* InverterTypeKey(std::uint32_t type) {
    const InverterModel* model = FindInverterModel(type);
    return model != nullptr ? model->key : "undef";
}

}  // namespace velmora::model
