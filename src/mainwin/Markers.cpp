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

std::vector<QWidget*> CreateKeyMarkers(QWidget* parent, int count, QStringList& places) {
    std::vector<QWidget*> markers(static_cast<std::size_t>(count), nullptr);
#ifndef QUORVANE_HAVE_VANTILE
    (void)parent;
    places.clear();
#else
    vantile::PropertyBag saved;
    saved.Write("backcolor", static_cast<std::int32_t>(views::kMarkerDesignColor));
    saved.Write("font",
                vantile::FontDesc{std::string(views::kMarkerFontName), views::kMarkerFontPoints,
                                  true, false, views::kMarkerFontCharset});
    saved.Write("edge", static_cast<std::int32_t>(views::kMarkerDesignEdge));
    saved.Write("caption", std::string());
    const vantile::ClassLookup found = vantile::FindClass(kMarkerProgId);
    places = found.places;
    for (QWidget*& marker : markers) {
        marker = vantile::CreateControl(found, parent, &saved);
    }
#endif
    return markers;
}

QString MissingMarkerControlText(const QStringList& places) {
    QString text = QStringLiteral(
                       "The marker control \"%1\" could not be loaded, so Quorvane "
                       "cannot show chords.\n\nLooked in:")
                       .arg(QLatin1String(kMarkerProgId));
    for (const QString& place : places) {
        text += QStringLiteral("\n") + place;
    }
    if (places.isEmpty()) {
        text += QStringLiteral("\n(this build has no control library)");
    }
    return text;
}

// The host binds the members it uses by their dispatch identifiers when it has the component
// layer's helper, by name otherwise.
void SetMarkerBackColor(QWidget* marker, views::OleColor color) {
#ifdef QUORVANE_HAVE_VANTILE
    vantile::SetByDispId(marker, vantile::dispid::BackColor, QVariant::fromValue<uint>(color));
#else
    marker->setProperty("BackColor", QVariant::fromValue<uint>(color));
#endif
}

void SetMarkerCaption(QWidget* marker, const QString& caption) {
#ifdef QUORVANE_HAVE_VANTILE
    vantile::SetByDispId(marker, vantile::dispid::Caption, caption);
#else
    marker->setProperty("Caption", caption);
#endif
}

QString MarkerCaptionOf(const QWidget* marker) {
#ifdef QUORVANE_HAVE_VANTILE
    return vantile::GetByDispId(marker, vantile::dispid::Caption).toString();
#else
    return marker->property("Caption").toString();
#endif
}

views::OleColor MarkerBackColorOf(const QWidget* marker) {
#ifdef QUORVANE_HAVE_VANTILE
    return vantile::GetByDispId(marker, vantile::dispid::BackColor).toUInt();
#else
    return marker->property("BackColor").toUInt();
#endif
}

void RefreshMarker(QWidget* marker) {
#ifdef QUORVANE_HAVE_VANTILE
    vantile::InvokeByDispId(marker, vantile::dispid::Refresh);
#else
    QMetaObject::invokeMethod(marker, "Refresh");
#endif
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
