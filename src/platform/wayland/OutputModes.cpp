#include "platform/wayland/OutputModes.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstring>
#include <memory>
#include <vector>
#include <wayland-client.h>

namespace kamsulo::platform {

namespace {

// wl_output's version 4 names the output.
constexpr std::uint32_t NamedOutputVersion = 4;

struct Output {
    wl_output* proxy = nullptr;
    QSize mode;
    bool turned = false;
    QString name;
};

struct Probe {
    std::vector<std::unique_ptr<Output>> outputs;
};

void geometry(void* data, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
              const char*, int32_t transform) {
    auto* output = static_cast<Output*>(data);
    output->turned = transform == WL_OUTPUT_TRANSFORM_90 || transform == WL_OUTPUT_TRANSFORM_270 ||
                     transform == WL_OUTPUT_TRANSFORM_FLIPPED_90 ||
                     transform == WL_OUTPUT_TRANSFORM_FLIPPED_270;
}

void mode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (flags & WL_OUTPUT_MODE_CURRENT) static_cast<Output*>(data)->mode = QSize(width, height);
}

void done(void*, wl_output*) {}
void scale(void*, wl_output*, int32_t) {}

void name(void* data, wl_output*, const char* text) {
    static_cast<Output*>(data)->name = QString::fromUtf8(text);
}

void description(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {geometry, mode, done, scale, name, description};

void global(void* data, wl_registry* registry, uint32_t id, const char* interface,
            uint32_t version) {
    if (std::strcmp(interface, wl_output_interface.name) != 0 || version < NamedOutputVersion)
        return;
    auto* probe = static_cast<Probe*>(data);
    auto output = std::make_unique<Output>();
    output->proxy = static_cast<wl_output*>(
        wl_registry_bind(registry, id, &wl_output_interface, NamedOutputVersion));
    wl_output_add_listener(output->proxy, &outputListener, output.get());
    probe->outputs.push_back(std::move(output));
}

void globalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {global, globalRemove};

} // namespace

QHash<QString, QSize> outputModes() {
    QHash<QString, QSize> modes;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return modes;
    Probe probe;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &probe);
    // The globals, then the outputs' events.
    if (wl_display_roundtrip(display) >= 0 && wl_display_roundtrip(display) >= 0) {
        for (const auto& output : probe.outputs)
            if (!output->name.isEmpty() && output->mode.isValid())
                modes.insert(output->name,
                             output->turned ? output->mode.transposed() : output->mode);
    }
    for (const auto& output : probe.outputs)
        wl_output_release(output->proxy);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return modes;
}

QHash<QString, QSize> currentOutputModes() {
    static bool asked = false;
    static QString askedFor;
    static QHash<QString, QSize> modes;
    QString screens;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        screens += QStringLiteral("%1 %2,%3 %4x%5 %6;")
                       .arg(s->name())
                       .arg(g.x())
                       .arg(g.y())
                       .arg(g.width())
                       .arg(g.height())
                       .arg(s->devicePixelRatio());
    }
    if (!asked || screens != askedFor) {
        modes = outputModes();
        asked = true;
        askedFor = screens;
    }
    return modes;
}

} // namespace kamsulo::platform
