#include "journal/snapshot.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "journal/writerecorder.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::journal {
namespace {

constexpr int kFirstGroup = model::code::Group50;
constexpr int kLastGroup = model::code::Group5A;

std::string Hex(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

std::optional<int> ParameterOfKey(const std::string& key) {
    if (key.size() < 2 || key.front() != 'p') return std::nullopt;
    int parameter = 0;
    const auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), parameter);
    if (error != std::errc{} || end != key.data() + key.size()) return std::nullopt;
    if (parameter < 1 || parameter > model::kParameterCount) return std::nullopt;
    return parameter;
}

}  // namespace

std::string SnapshotJson(const Snapshot& snapshot) {
    nlohmann::json json = nlohmann::json::object();
    for (int code = kFirstGroup; code <= kLastGroup; ++code) {
        nlohmann::json values = nlohmann::json::object();
        for (const model::FieldLayout& field : model::FindGroup(code)->fields)
            if (auto value = snapshot.find(field.parameter); value != snapshot.end())
                values["p" + std::to_string(field.parameter)] = value->second;
        if (!values.empty()) json[Hex(code)] = std::move(values);
    }
    return json.dump();
}

bool HoldsSnapshot(const Entry& entry) {
    return entry.kind == EntryKind::Connection || entry.kind == EntryKind::Snapshot;
}

std::optional<Snapshot> SnapshotOf(const Entry& entry) {
    if (!HoldsSnapshot(entry)) return std::nullopt;
    const auto detail = nlohmann::json::parse(entry.detail, nullptr, false);
    if (!detail.is_object() || !detail.contains("snapshot") || !detail["snapshot"].is_object())
        return std::nullopt;
    Snapshot snapshot;
    for (const auto& [group, values] : detail["snapshot"].items()) {
        if (!values.is_object()) continue;
        for (const auto& [key, value] : values.items()) {
            const auto parameter = ParameterOfKey(key);
            if (parameter && value.is_string()) snapshot[*parameter] = value.get<std::string>();
        }
    }
    return snapshot;
}

Snapshot SnapshotOfImage(const model::DriveData& data) {
    Snapshot snapshot;
    for (int code = kFirstGroup; code <= kLastGroup; ++code) {
        if (!data.GroupReceived(code)) continue;
        for (const model::FieldLayout& field : model::FindGroup(code)->fields)
            snapshot[field.parameter] = ParameterText(field.parameter, data.Image(field.parameter));
    }
    return snapshot;
}

Entry SnapshotEntry(std::optional<std::uint32_t> serial, const model::DriveData& data,
                    const std::string& note) {
    Entry entry;
    entry.kind = EntryKind::Snapshot;
    entry.serial = serial;
    entry.parameter = note;
    const auto text = [&data](int parameter) {
        return ParameterText(parameter, data.Image(parameter));
    };
    nlohmann::json detail{{"type", text(model::param::kInverterType)},
                          {"firmware", text(model::param::kFirmwareVersion)}};
    detail["snapshot"] = nlohmann::json::parse(SnapshotJson(SnapshotOfImage(data)));
    entry.detail = detail.dump();
    return entry;
}

std::vector<SnapshotDifference> CompareSnapshots(const Snapshot& before, const Snapshot& after) {
    std::vector<SnapshotDifference> differences;
    const auto add = [&](SnapshotDifference difference) {
        const model::GroupLayout* group = model::GroupOfParameter(difference.parameter);
        const bool live = group != nullptr && group->code == model::code::Group59 &&
                          difference.parameter != model::param::kMemorySlot;
        if (!live) differences.push_back(std::move(difference));
    };
    auto a = before.begin();
    auto b = after.begin();
    while (a != before.end() || b != after.end()) {
        if (b == after.end() || (a != before.end() && a->first < b->first)) {
            add({a->first, a->second, {}});
            ++a;
        } else if (a == before.end() || b->first < a->first) {
            add({b->first, {}, b->second});
            ++b;
        } else {
            if (a->second != b->second) add({a->first, a->second, b->second});
            ++a;
            ++b;
        }
    }
    return differences;
}

bool ApplyParameterText(model::DriveData& data, int parameter, const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (model::ScaleFactor(parameter) == 1) {
        std::uint32_t value = 0;
        const auto [ptr, ec] = std::from_chars(begin, end, value);
        if (ec != std::errc{} || ptr != end || text.empty()) return false;
        data.SetWorking(parameter, value);
        return true;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (ec != std::errc{} || ptr != end || text.empty() || !std::isfinite(value) || value < 0 ||
        value * model::ScaleFactor(parameter) > 4294967295.0)
        return false;
    data.SetReal(parameter, static_cast<float>(value));
    return true;
}

RestorePlan PlanRestore(const Snapshot& snapshot, model::DriveData& target) {
    RestorePlan plan;
    for (const model::GroupLayout& group : model::AllGroups()) {
        if (group.writeCommand < 0) continue;
        bool touched = false;
        for (const model::FieldLayout& field : group.fields) {
            const auto value = snapshot.find(field.parameter);
            if (value == snapshot.end()) continue;  // not in the snapshot: left as it is
            if (!ApplyParameterText(target, field.parameter, value->second)) {
                plan.badParameter = field.parameter;
                return plan;
            }
            plan.parameters.push_back(field.parameter);
            touched = true;
        }
        if (touched) plan.groups.push_back(group.code);
    }
    return plan;
}

}  // namespace velmora::journal
