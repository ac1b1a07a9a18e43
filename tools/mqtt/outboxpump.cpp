#include "outboxpump.h"

#include <set>

#include "journal/outbox.h"

namespace velmora::tools::mqtt {
namespace {

// Messages handed to the client and not yet acknowledged, at most.
constexpr int kWindow = 32;
// How often the outbox is looked at without a wake().
constexpr auto kRound = std::chrono::milliseconds(200);

}  // namespace

OutboxPump::OutboxPump(MqttClient& client, std::filesystem::path journalFile, std::string station)
    : m_client(client), m_file(std::move(journalFile)), m_station(std::move(station)) {
    m_thread = std::thread([this] { run(); });
}

OutboxPump::~OutboxPump() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
    // The client outlives this pump; its network thread must not call back
    // into it any more.
    m_client.dropAcknowledgements();
}

void OutboxPump::wake() {
    {
        const std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wake.notify_all();
}

bool OutboxPump::drain(std::chrono::milliseconds limit) {
    wake();
    std::unique_lock lock(m_mutex);
    // A look that began before the wake may have missed the newest rows.
    m_woken = true;
    return m_changed.wait_for(lock, limit, [&] { return m_waiting == 0 && !m_woken; });
}

std::int64_t OutboxPump::waiting() const {
    const std::lock_guard lock(m_mutex);
    return m_waiting;
}

std::string OutboxPump::problem() const {
    const std::lock_guard lock(m_mutex);
    return m_problem;
}

void OutboxPump::acknowledged(std::int64_t id) {
    {
        const std::lock_guard lock(m_mutex);
        m_acknowledged.push_back(id);
    }
    m_wake.notify_all();
}

void OutboxPump::run() {
    journal::JournalStore store;
    const bool opened = store.open(m_file);
    journal::Outbox outbox(store);
    std::set<std::int64_t> inFlight;
    std::int64_t lastHanded = 0;
    std::unique_lock lock(m_mutex);
    if (!opened) m_problem = "the outbox cannot be read: " + store.error();
    while (!m_stopping) {
        m_woken = false;
        std::vector<std::int64_t> done;
        done.swap(m_acknowledged);
        lock.unlock();
        for (const std::int64_t id : done) {
            outbox.remove(id);
            inFlight.erase(id);
        }
        // What the client holds when a connection breaks it sends again on the
        // next; what it never took stays in the outbox for the next run.
        if (opened && m_client.connected() && static_cast<int>(inFlight.size()) < kWindow) {
            for (const auto& message :
                 outbox.next(m_station, lastHanded, kWindow - static_cast<int>(inFlight.size()))) {
                const std::int64_t id = message.id;
                if (!m_client.publish(message.topic, message.payload, 1, message.retain,
                                      [this, id] { acknowledged(id); }))
                    break;
                inFlight.insert(id);
                lastHanded = id;
            }
        }
        const std::int64_t waiting = opened ? outbox.count(m_station) : 0;
        lock.lock();
        m_waiting = waiting;
        m_changed.notify_all();
        if (m_stopping) break;
        m_wake.wait_for(lock, kRound,
                        [&] { return m_stopping || m_woken || !m_acknowledged.empty(); });
    }
}

}  // namespace velmora::tools::mqtt
