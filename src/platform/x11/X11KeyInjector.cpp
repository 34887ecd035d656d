// Key records replayed through the XTest extension, on Qt's connection.
// Virtual-key codes become keycodes through the keyboard mapping. A character that
// no key types, or a key the keyboard lacks, is typed on a spare keycode (one with
// no keysym) that is given the keysym for the moment and cleared again a little
// later, once the receiving program has had the time to read the changed mapping.
// The extended-key flag and the scan codes need no counterpart here: every key has
// a keycode of its own.
#include "platform/Backends.h"
#include "platform/KeyInjector.h"
#include "platform/x11/X11KeyboardLayout.h"

#include "platform/x11/X11Connection.h"

#include "platform/x11/X11Xkb.h"
#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>
#include <xcb/xtest.h>

namespace kamsulo::platform {

namespace {

// How long spare keycodes keep their keysym after a batch: programs read a changed
// mapping only when they get round to the notice of the change, and keys that
// arrive after the mapping was cleared would type nothing.
constexpr int kRestoreDelayMs = 1000;
// A batch that needs more extra keysyms than there are spare keycodes is sent in
// rounds; before a round reuses a spare, the receiver gets this long for the last.
constexpr std::chrono::milliseconds kRoundPause{200};

// One press or release: of a key of the keyboard, or of a keysym that must be put
// on a spare key first.
struct Stroke {
    Keycode key = 0;
    KeySymbol symbol = 0;
    bool press = true;
};

// The key events of one round, and the spare keys to be given a keysym before.
struct Round {
    QList<std::pair<Keycode, KeySymbol>> remaps;
    QList<std::pair<Keycode, bool>> events;
};

bool isUnicode(const KeyInput& r) {
    return r.flags.testFlag(KeyInputFlag::Unicode);
}
bool isDown(const KeyInput& r) {
    return !r.flags.testFlag(KeyInputFlag::KeyUp);
}

// The strokes of the records. A Unicode pair of a high and a low surrogate (four
// records: down, up, down, up) types the one character they encode; a lone
// surrogate types nothing.
QList<Stroke> strokesOf(const QList<KeyInput>& records, const X11KeyboardMapping& mapping) {
    QList<Stroke> strokes;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const KeyInput& r = records.at(i);
        if (!isUnicode(r)) {
            if (const auto key = mapping.keyOfVirtualKey(r.virtualKey))
                strokes << Stroke{*key, 0, isDown(r)};
            else if (const KeySymbol sym = X11KeyboardMapping::symbolOfVirtualKey(r.virtualKey))
                strokes << Stroke{0, sym, isDown(r)};
            continue;
        }
        char32_t character = r.scanCode;
        if (QChar::isHighSurrogate(r.scanCode) && i + 3 < records.size() && isDown(r)) {
            const KeyInput& low = records.at(i + 2);
            if (isUnicode(records.at(i + 1)) && !isDown(records.at(i + 1)) && isUnicode(low) &&
                isDown(low) && QChar::isLowSurrogate(low.scanCode) &&
                isUnicode(records.at(i + 3))) {
                character = QChar::surrogateToUcs4(r.scanCode, low.scanCode);
                strokes << Stroke{0, X11KeyboardMapping::symbolOfCharacter(character), true}
                        << Stroke{0, X11KeyboardMapping::symbolOfCharacter(character), false};
                i += 3;
                continue;
            }
        }
        if (const KeySymbol sym = X11KeyboardMapping::symbolOfCharacter(character))
            strokes << Stroke{0, sym, isDown(r)};
    }
    return strokes;
}

// One key of a keysym map as XKB sends it, followed by its keysyms.
constexpr std::size_t kSymMapBytes = sizeof(xcb_xkb_key_sym_map_t);
static_assert(kSymMapBytes == 8);
constexpr std::uint8_t kOneLevelType = 0; // XKB's first standard key type, ONE_LEVEL
constexpr std::uint8_t kGroupCountBits = 0x0f;
// Every X reply: a fixed part of 32 bytes, then as many words of 4 as its length says.
constexpr std::size_t kReplyFixedBytes = 32;
constexpr std::size_t kWordBytes = 4;

class X11KeyInjector;
X11KeyInjector* g_injector = nullptr; // the one made, until the application goes

class X11KeyInjector final : public KeyInjector {
public:
    X11KeyInjector() : c_(x11Connection()) {
        const xcb_query_extension_reply_t* test =
            c_ ? xcb_get_extension_data(c_, &xcb_test_id) : nullptr;
        if (!test || !test->present) {
            c_ = nullptr;
            return;
        }
        // The lent keys are cleared while the connection is still there.
        g_injector = this;
        qAddPostRoutine([] {
            if (g_injector) g_injector->close();
        });
    }
    ~X11KeyInjector() override {
        close();
        if (g_injector == this) g_injector = nullptr;
    }
    X11KeyInjector(const X11KeyInjector&) = delete;
    X11KeyInjector& operator=(const X11KeyInjector&) = delete;

    std::unique_ptr<KeyboardLayout> currentLayout() override {
        return std::make_unique<X11KeyboardLayout>(readMapping(), capsLockIndicator(c_));
    }

    // The first round goes at once. Further rounds, needed only when a batch wants
    // more extra keysyms than there are spare keys, follow from the event loop after
    // a pause each, so that a receiver in this very process gets to read each
    // round's mapping too.
    bool inject(const QList<KeyInput>& records) override {
        if (!c_) return false;
        if (restoreTimer_) restoreTimer_->stop();
        const X11KeyboardMapping mapping = readMapping();
        const bool idle = pending_.isEmpty();
        pending_ += plan(strokesOf(records, mapping), mapping);
        if (idle) sendRounds();
        return true;
    }

private:
    void close() {
        for (QTimer* t : {roundTimer_.data(), restoreTimer_.data()})
            if (t) t->stop();
        if (!c_) return;
        pending_.clear();
        restoreBorrowed();
        c_ = nullptr;
    }

    // The mapping without the spare keys we lent a keysym: to the layout and to the
    // planning they are spare keys still.
    X11KeyboardMapping readMapping() const {
        QSet<Keycode> lent;
        for (auto it = borrowed_.cbegin(); it != borrowed_.cend(); ++it)
            lent.insert(it.key());
        return X11KeyboardMapping::read(c_, lent);
    }

    // Puts every stroke on a key, lending spare keys their keysyms; keys lent
    // earlier and not yet cleared are reused for the same keysym. A key is lent
    // anew only in a round where it has not typed yet.
    QList<Round> plan(const QList<Stroke>& strokes, const X11KeyboardMapping& mapping) {
        QList<Keycode> free;
        for (Keycode key : mapping.spareKeys())
            if (!borrowed_.contains(key)) free << key;
        QHash<KeySymbol, Keycode> lentFor;
        for (auto it = borrowed_.cbegin(); it != borrowed_.cend(); ++it)
            lentFor.insert(it.value(), it.key());

        QList<Round> rounds{Round{}};
        QSet<Keycode>& usedInRound = lastRoundKeys_; // the round before still counts
        auto reusable = [&]() -> std::optional<Keycode> {
            for (auto it = borrowed_.cbegin(); it != borrowed_.cend(); ++it)
                if (!usedInRound.contains(it.key())) return it.key();
            return std::nullopt;
        };
        for (const Stroke& s : strokes) {
            Keycode key = s.key;
            if (!key) {
                key = lentFor.value(s.symbol, 0);
                if (!key && s.press) {
                    std::optional<Keycode> spare;
                    if (!free.isEmpty()) spare = free.takeFirst();
                    if (!spare) spare = reusable();
                    if (!spare && !borrowed_.isEmpty()) {
                        rounds << Round{};
                        usedInRound.clear();
                        spare = reusable();
                    }
                    if (!spare) continue; // no spare key at all: cannot be typed
                    key = *spare;
                    if (borrowed_.contains(key)) lentFor.remove(borrowed_.value(key));
                    borrowed_.insert(key, s.symbol);
                    lentFor.insert(s.symbol, key);
                    rounds.last().remaps << std::pair{key, s.symbol};
                }
                if (!key) continue;
            }
            usedInRound.insert(key);
            rounds.last().events << std::pair{key, s.press};
        }
        return rounds;
    }

    // Sends the pending rounds: the first now, each further one after a pause. A key
    // that the server refuses is left out.
    void sendRounds() {
        while (!pending_.isEmpty()) {
            const Round round = pending_.takeFirst();
            setSymbols(round.remaps);
            std::vector<xcb_void_cookie_t> sent;
            for (const auto& [key, press] : round.events)
                sent.push_back(xcb_test_fake_input_checked(
                    c_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, std::uint8_t(key),
                    XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0));
            for (const xcb_void_cookie_t cookie : sent)
                x11Done(c_, cookie);
            if (pending_.isEmpty()) break;
            timer(roundTimer_, [this] { sendRounds(); })->start(kRoundPause);
            return;
        }
        if (!borrowed_.isEmpty())
            timer(restoreTimer_, [this] { restoreBorrowed(); })->start(kRestoreDelayMs);
    }

    // A single-shot timer of the application's event loop (there is an application
    // while there is a connection).
    template <typename Slot> QTimer* timer(QPointer<QTimer>& slot, Slot onTimeout) {
        if (!slot) {
            slot = new QTimer(QCoreApplication::instance());
            slot->setSingleShot(true);
            QObject::connect(slot, &QTimer::timeout, onTimeout);
        }
        return slot;
    }

    // Gives keys one keysym each (none: kNoSymbol) in a single request, so that every
    // program on the display reads the changed mapping once, not per key. The keys
    // between them are sent as the server has them.
    void setSymbols(const QList<std::pair<Keycode, KeySymbol>>& changes) {
        if (changes.isEmpty()) return;
        if (!useXkb(c_)) { // no keyboard extension: the core request, key by key
            for (const auto& [key, sym] : changes) {
                const xcb_keysym_t syms[2] = {sym, sym};
                x11Done(c_,
                        xcb_change_keyboard_mapping_checked(c_, 1, xcb_keycode_t(key), 2, syms));
            }
            return;
        }
        const xcb_setup_t* setup = xcb_get_setup(c_);
        Keycode first = setup->max_keycode;
        Keycode last = setup->min_keycode;
        QHash<Keycode, KeySymbol> wanted;
        for (const auto& [key, sym] : changes) {
            if (key < setup->min_keycode || key > setup->max_keycode) continue;
            wanted.insert(key, sym);
            first = std::min(first, key);
            last = std::max(last, key);
        }
        if (first > last) return;
        const int count = last - first + 1;
        const auto map =
            x11Reply(xcb_xkb_get_map_reply, c_,
                     xcb_xkb_get_map(c_, XCB_XKB_ID_USE_CORE_KBD, 0, XCB_XKB_MAP_PART_KEY_SYMS, 0,
                                     0, xcb_keycode_t(first), std::uint8_t(count), 0, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0, 0));
        if (!map || map->firstKeySym != first || map->nKeySyms != count) return;
        const auto* in = static_cast<const std::uint8_t*>(xcb_xkb_get_map_map(map.get()));
        const auto* end = reinterpret_cast<const std::uint8_t*>(map.get()) + kReplyFixedBytes +
                          kWordBytes * std::size_t(map->length);
        std::vector<std::uint8_t> out;
        std::uint16_t total = 0;
        for (Keycode key = first; key <= last; ++key) {
            xcb_xkb_key_sym_map_t head;
            if (end - in < std::ptrdiff_t(kSymMapBytes)) return;
            std::memcpy(&head, in, kSymMapBytes);
            const std::size_t bytes = kSymMapBytes + sizeof(xcb_keysym_t) * std::size_t(head.nSyms);
            if (end - in < std::ptrdiff_t(bytes)) return;
            if (const auto it = wanted.constFind(key); it != wanted.cend()) {
                const std::uint8_t n = *it == kNoSymbol ? 0 : 1;
                head.kt_index[0] = kOneLevelType;
                head.groupInfo = std::uint8_t((head.groupInfo & ~kGroupCountBits) | n);
                head.width = n;
                head.nSyms = n;
                const auto* h = reinterpret_cast<const std::uint8_t*>(&head);
                out.insert(out.end(), h, h + kSymMapBytes);
                const xcb_keysym_t sym = *it;
                const auto* s = reinterpret_cast<const std::uint8_t*>(&sym);
                if (n) out.insert(out.end(), s, s + sizeof sym);
            } else {
                out.insert(out.end(), in, in + bytes);
            }
            total = std::uint16_t(total + head.nSyms);
            in += bytes;
        }
        x11Done(c_, xcb_xkb_set_map_checked(c_, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_MAP_PART_KEY_SYMS,
                                            XCB_XKB_SET_MAP_FLAGS_RECOMPUTE_ACTIONS,
                                            map->minKeyCode, map->maxKeyCode, 0, 0,
                                            xcb_keycode_t(first), std::uint8_t(count), total, 0, 0,
                                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, out.data()));
    }

    void restoreBorrowed() {
        if (borrowed_.isEmpty() || !pending_.isEmpty()) return;
        QList<std::pair<Keycode, KeySymbol>> cleared;
        for (auto it = borrowed_.cbegin(); it != borrowed_.cend(); ++it)
            cleared << std::pair{it.key(), kNoSymbol};
        setSymbols(cleared);
        borrowed_.clear();
        lastRoundKeys_.clear();
    }

    xcb_connection_t* c_ = nullptr;
    QHash<Keycode, KeySymbol> borrowed_; // spare keys lent a keysym, not yet cleared
    QSet<Keycode> lastRoundKeys_;        // keys that typed in the last planned round
    QList<Round> pending_;               // rounds planned but not sent yet
    QPointer<QTimer> roundTimer_;
    QPointer<QTimer> restoreTimer_;
};

} // namespace

std::unique_ptr<KeyInjector> makeX11KeyInjector() {
    return std::make_unique<X11KeyInjector>();
}

} // namespace kamsulo::platform
