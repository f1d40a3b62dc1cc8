#include "mainwin/Markers.h"

#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <string>

#if __has_include("vantile/ComponentHost.h")
#include "vantile/ComponentHost.h"
#include "vantile/PropertyBag.h"
#define QUORVANE_HAVE_VANTILE 1
#endif

namespace quorvane::mainwin {

QWidget* CreateKeyMarker(QWidget* parent) {
#ifndef QUORVANE_HAVE_VANTILE
    (void)parent;
    return nullptr;
#else
    vantile::PropertyBag saved;
    saved.Write("backcolor", static_cast<std::int32_t>(views::kMarkerDesignColor));
    saved.Write("font",
                vantile::FontDesc{std::string(views::kMarkerFontName), views::kMarkerFontPoints,
                                  true, false, views::kMarkerFontCharset});
    saved.Write("edge", static_cast<std::int32_t>(views::kMarkerDesignEdge));
    saved.Write("caption", std::string());
    return vantile::CreateControl(kMarkerProgId, parent, &saved);
#endif
}

void SetMarkerBackColor(QWidget* marker, views::OleColor color) {
    marker->setProperty("BackColor", QVariant::fromValue<uint>(color));
}

void SetMarkerCaption(QWidget* marker, const QString& caption) {
    marker->setProperty("Caption", caption);
}

QString MarkerCaptionOf(const QWidget* marker) {
    return marker->property("Caption").toString();
}

views::OleColor MarkerBackColorOf(const QWidget* marker) {
    return marker->property("BackColor").toUInt();
}

void RefreshMarker(QWidget* marker) {
    QMetaObject::invokeMethod(marker, "Refresh");
}

MarkerMouseRelay::MarkerMouseRelay(QWidget* marker, int index, Handler handler)
    : QObject(marker), index_(index), handler_(std::move(handler)) {
    connected_ =
        static_cast<bool>(QObject::connect(marker, SIGNAL(MouseDown(short, short, float, float)),
                                           this, SLOT(OnMouseDown(short, short, float, float))));
}

void MarkerMouseRelay::OnMouseDown(short button, short shift, float x, float y) {
    if (handler_) {
        handler_(index_, button, shift, x, y);
    }
}

}  // namespace quorvane::mainwin
