// Key records replayed through the XTest extension on a connection of our own.
// Virtual-key codes become keycodes through the keyboard mapping. A character that
// no key types, or a key the keyboard lacks, is typed on a spare keycode (one with
// no keysym) that is given the keysym for the moment and cleared again a little
// later, once the receiving program has had the time to read the changed mapping.
// The extended-key flag and the scan codes need no counterpart here: every key has
// a keycode of its own.
#include "platform/Backends.h"
#include "platform/KeyInjector.h"
#include "platform/x11/X11KeyboardLayout.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/x11/X11ErrorTrap.h"
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

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

class X11KeyInjector final : public KeyInjector {
public:
    X11KeyInjector() {
        dpy_ = XOpenDisplay(nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        if (dpy_ && !XTestQueryExtension(dpy_, &event, &error, &major, &minor)) {
            XCloseDisplay(dpy_);
            dpy_ = nullptr;
        }
    }
    ~X11KeyInjector() override {
        for (QTimer* t : {roundTimer_.data(), restoreTimer_.data()})
            if (t) t->stop();
        if (!dpy_) return;
        pending_.clear();
        restoreBorrowed();
        XCloseDisplay(dpy_);
    }
    X11KeyInjector(const X11KeyInjector&) = delete;
    X11KeyInjector& operator=(const X11KeyInjector&) = delete;

    std::unique_ptr<KeyboardLayout> currentLayout() override {
        return std::make_unique<X11KeyboardLayout>(readMapping(), capsLockIndicator(dpy_));
    }

    // The first round goes at once. Further rounds, needed only when a batch wants
    // more extra keysyms than there are spare keys, follow from the event loop after
    // a pause each, so that a receiver in this very process gets to read each
    // round's mapping too.
    bool inject(const QList<KeyInput>& records) override {
        if (!dpy_) return false;
        if (restoreTimer_) restoreTimer_->stop();
        const X11KeyboardMapping mapping = readMapping();
        const bool idle = pending_.isEmpty();
        pending_ += plan(strokesOf(records, mapping), mapping);
        if (idle) sendRounds();
        return true;
    }

private:
    // The mapping without the spare keys we lent a keysym: to the layout and to the
    // planning they are spare keys still.
    X11KeyboardMapping readMapping() const {
        QSet<Keycode> lent;
        for (auto it = borrowed_.cbegin(); it != borrowed_.cend(); ++it)
            lent.insert(it.key());
        return X11KeyboardMapping::read(dpy_, lent);
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

    // Sends the pending rounds: the first now, each further one after a pause.
    void sendRounds() {
        while (!pending_.isEmpty()) {
            const Round round = pending_.takeFirst();
            {
                X11ErrorTrap trap(dpy_);
                setSymbols(round.remaps);
                for (const auto& [key, press] : round.events)
                    XTestFakeKeyEvent(dpy_, unsigned(key), press ? True : False, CurrentTime);
            }
            if (pending_.isEmpty()) break;
            if (QTimer* t = timer(roundTimer_, [this] { sendRounds(); })) {
                t->start(kRoundPause);
                return;
            }
            std::this_thread::sleep_for(kRoundPause); // no event loop to wait in
        }
        if (!borrowed_.isEmpty())
            if (QTimer* t = timer(restoreTimer_, [this] { restoreBorrowed(); }))
                t->start(kRestoreDelayMs);
        // Without an event loop, lent keys are cleared at exit.
    }

    // A single-shot timer of the application's event loop; null when there is none.
    template <typename Slot> QTimer* timer(QPointer<QTimer>& slot, Slot onTimeout) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return nullptr;
        if (!slot) {
            slot = new QTimer(app);
            slot->setSingleShot(true);
            QObject::connect(slot, &QTimer::timeout, onTimeout);
        }
        return slot;
    }

    // Gives keys one keysym each (NoSymbol: none) in a single request, so that
    // every program on the display reads the changed mapping once, not per key.
    void setSymbols(const QList<std::pair<Keycode, KeySymbol>>& changes) {
        if (changes.isEmpty()) return;
        XkbDescPtr xkb = XkbGetMap(dpy_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!xkb) { // no keyboard extension: the core request, key by key
            for (const auto& [key, sym] : changes) {
                KeySym syms[2] = {sym, sym};
                XChangeKeyboardMapping(dpy_, key, 2, syms, 1);
            }
            return;
        }
        Keycode first = xkb->max_key_code;
        Keycode last = xkb->min_key_code;
        for (const auto& [key, sym] : changes) {
            if (key < xkb->min_key_code || key > xkb->max_key_code) continue;
            XkbSymMapRec& map = xkb->map->key_sym_map[key];
            const int count = sym == NoSymbol ? 0 : 1;
            KeySym* syms = XkbResizeKeySyms(xkb, key, count);
            if (!syms) continue;
            if (count) syms[0] = sym;
            map.kt_index[0] = XkbOneLevelIndex;
            map.group_info = XkbSetNumGroups(map.group_info, count);
            map.width = count;
            first = std::min(first, key);
            last = std::max(last, key);
        }
        if (first <= last) {
            XkbMapChangesRec range{};
            range.changed = XkbKeySymsMask;
            range.first_key_sym = ::KeyCode(first);
            range.num_key_syms = last - first + 1;
            XkbChangeMap(dpy_, xkb, &range);
        }
        XkbFreeKeyboard(xkb, 0, True);
    }

    void restoreBorrowed() {
        if (borrowed_.isEmpty() || !pending_.isEmpty()) return;
        QList<std::pair<Keycode, KeySymbol>> cleared;
        for (auto it = borrowed_.cbegin(); it != borrowed_.cend(); ++it)
            cleared << std::pair{it.key(), KeySymbol(NoSymbol)};
        {
            X11ErrorTrap trap(dpy_);
            setSymbols(cleared);
        }
        borrowed_.clear();
        lastRoundKeys_.clear();
    }

    Display* dpy_ = nullptr;
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
