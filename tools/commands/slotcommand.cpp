// velmora-cli slot list|save|load|delete, maker-set and factory-settings:
// the motor page's actions on the drive's store, through the model's MotorStore.
#include <initializer_list>
#include <optional>
#include <string_view>

#include "commandkit.h"
#include "model/commands.h"
#include "model/motorstore.h"
#include "session.h"

namespace velmora::tools {
namespace {

// Asks the drive whether slot (1..32) holds data; nullopt when it stays silent.
std::optional<bool> SlotState(DriveSession& session, int slot) {
    std::optional<bool> state;
    session.onReply = [&](link::Telegram& reply) {
        if (reply.command == model::code::SlotState)
            state = model::MotorStore::SlotHoldsData(reply);
    };
    for (int attempt = 0; attempt < 3 && !state; ++attempt) {
        session.link().sendRequest(model::BuildReadSlotState(static_cast<std::uint8_t>(slot)));
        session.waitFor([&] { return state.has_value(); }, std::chrono::milliseconds(1000));
    }
    session.onReply = nullptr;
    return state;
}

// The motor page asks before each of these actions (English texts of the
// language file); --yes answers as OK does.
constexpr std::string_view kOverwrite =
    "The motor parameters in the drive will be overwritten. Continue?";
constexpr std::string_view kDivergency =
    "The Velmora data set may differ from your motor's rating plate. Check the rated values "
    "after loading.";
constexpr std::string_view kSave =
    "Save the motor parameters shown to the chosen memory slot? Its previous contents are lost.";
constexpr std::string_view kDelete = "Delete the chosen memory slot?";

// Exit 2 without --yes, naming what the window would ask; 0 with it.
int Unanswered(Output& output, const Invocation& invocation,
               std::initializer_list<std::string_view> questions) {
    if (invocation.yes) return kExitOk;
    std::string asked;
    for (const auto question : questions)
        asked += (asked.empty() ? "\"" : " and then \"") + std::string(question) + "\"";
    return output.fail(
        kExitUsage, invocation.command + ": the window would ask " + asked + "; repeat with --yes");
}

int Silent(Output& output) {
    return output.fail(kExitFailure, "the drive did not answer the slot query");
}

// The action's telegrams, then the six motor groups read back as the page does.
int LoadAndRead(DriveSession& session, const std::function<bool(model::MotorStore&)>& action) {
    model::DriveData after;
    after.useGate(session.gate());
    model::MotorStore store(after);
    if (!action(store)) return kExitFailure;
    if (!session.readGroups(model::kMotorReadOrder, after, true)) return kExitFailure;
    return kExitOk;
}

int ListSlots(DriveSession& session, Output& output) {
    if (const int status = session.connect()) return status;
    nlohmann::json slots = nlohmann::json::array();
    for (int n = 1; n <= model::kMemorySlotCount; ++n) {
        const auto state = SlotState(session, n);
        if (!state) return Silent(output);
        slots.push_back({{"slot", n}, {"data", *state}});
        output.text() << "slot " << n << (*state ? " data" : " empty") << "\n";
    }
    output.emit({{"ok", true}, {"slots", slots}});
    return kExitOk;
}

int SlotAction(DriveSession& session, Output& output, const std::string& verb, int slot) {
    if (const int status = session.connect()) return status;
    const std::string name = "slot " + std::to_string(slot);
    if (verb == "save") {
        // The slot receives what the drive holds now, as the page sends what it shows.
        model::DriveData data;
        if (!session.readGroups(model::kMotorReadOrder, data)) return kExitFailure;
        model::MotorStore(data).saveSlot(slot);
    } else if (verb == "load") {
        const auto state = SlotState(session, slot);
        if (!state) return Silent(output);
        if (!*state) return output.fail(kExitFailure, name + " is empty");
        if (const int status =
                LoadAndRead(session, [&](model::MotorStore& s) { return s.loadSlot(slot); }))
            return status;
    } else {
        model::DriveData data;
        data.useGate(session.gate());
        model::MotorStore(data).deleteSlot(slot);
    }
    // The query after the action answers only once the action has gone out.
    const auto state = SlotState(session, slot);
    if (!state) return Silent(output);
    if (verb == "save" && !*state) return output.fail(kExitFailure, name + " stayed empty");
    if (verb == "delete" && *state) return output.fail(kExitFailure, name + " still holds data");
    output.emit({{"ok", true}, {"slot", slot}, {"action", verb}, {"data", *state}});
    output.note(name + (*state ? " data" : " empty"));
    return kExitOk;
}

int RunSlot(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto& words = invocation.arguments;
    const std::string verb = words.empty() ? "" : words[0];
    const bool list = verb == "list" && words.size() == 1;
    const auto slot = words.size() == 2 ? WholeNumber(words[1], 1, 32) : std::nullopt;
    if (!list && !(slot && (verb == "save" || verb == "load" || verb == "delete")))
        return UsageError(output, invocation, "wants list, or save|load|delete N with N 1..32");
    if (!list)
        if (const int status = Unanswered(output, invocation,
                                          {verb == "save"   ? kSave
                                           : verb == "load" ? kOverwrite
                                                            : kDelete}))
            return status;
    DriveSession session(invocation, context, output);
    return session.finish(list ? ListSlots(session, output)
                               : SlotAction(session, output, verb, *slot));
}

// The action's telegrams and the motor groups read back, after connecting.
int StoreAction(DriveSession& session, const std::function<bool(model::MotorStore&)>& action) {
    if (const int status = session.connect()) return status;
    return LoadAndRead(session, action);
}

int RunMakerSet(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto model = invocation.arguments.size() == 1
                           ? WholeNumber(invocation.arguments[0], 0, model::kMotorModelCount - 1)
                           : std::nullopt;
    if (!model) return UsageError(output, invocation, "takes one motor model number 0..14");
    if (const int status = Unanswered(output, invocation, {kOverwrite, kDivergency})) return status;
    DriveSession session(invocation, context, output);
    const int status = session.finish(
        StoreAction(session, [&](model::MotorStore& s) { return s.loadMakerSet(*model); }));
    if (status != kExitOk) return status;
    output.emit({{"ok", true}, {"maker_set", *model}});
    output.note("loaded maker data set " + std::to_string(*model));
    return kExitOk;
}

int RunFactorySettings(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    if (!invocation.arguments.empty()) return UsageError(output, invocation, "takes no arguments");
    if (!invocation.yes)
        return output.fail(kExitUsage,
                           "factory-settings overwrites every parameter; give --yes to go on");
    DriveSession session(invocation, context, output);
    const int status = session.finish(StoreAction(session, [](model::MotorStore& s) {
        s.loadFactorySettings();
        return true;
    }));
    if (status != kExitOk) return status;
    output.emit({{"ok", true}});
    output.note("factory settings loaded");
    return kExitOk;
}

}  // namespace

Command SlotCommand() {
    return {"slot", "[LINK OPTIONS] slot list | slot save|load|delete N --yes",
            "  The 32 memory slots as the motor page uses them (N is 1..32). list prints\n"
            "  \"slot <N> data|empty\" for all 32; save stores the drive's motor groups in\n"
            "  slot N; load loads slot N and reads the motor groups back (an empty slot is\n"
            "  a failure); delete empties it. save, load and delete ask what the motor page\n"
            "  asks and refuse without --yes. Exit 0, 1, 2 without --yes.\n",
            RunSlot};
}

Command MakerSetCommand() {
    return {"maker-set", "[LINK OPTIONS] maker-set M --yes",
            "  Loads the maker's data set of motor model M (0..14) as the motor page does\n"
            "  and reads the motor groups back. Refuses without --yes, as the page asks\n"
            "  first (overwrite, then the rating-plate warning). Exit 0, 1, 2.\n",
            RunMakerSet};
}

Command FactorySettingsCommand() {
    return {"factory-settings", "[LINK OPTIONS] factory-settings --yes",
            "  Loads the factory settings (every parameter). Refuses without --yes.\n"
            "  Exit 0, 1, 2 without --yes.\n",
            RunFactorySettings};
}

}  // namespace velmora::tools
