#pragma once
// The key markers: Vantile controls created through the component layer by their ProgID, each
// handed the saved properties the window's layout stores for it.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "vantile/Component.h"
#include "views/Keyboard.h"

class QWidget;

namespace vantile {
class DispatchCache;
}

namespace quorvane::mainwin {

// Creates `count` key markers under `parent` from the stored layout (back colour, font, edge,
// caption), looking the control up once for all of them (vantile::kVantileProgId). Every one is
// nullptr when the control library is not available. `places` receives every place looked at,
// each as "<path>: <what was found there>".
std::vector<QWidget*> CreateKeyMarkers(QWidget* parent, int count, QStringList& places);

// The message the program ends with when it has no markers: it names the control and the
// places it was looked for.
QString MissingMarkerControlText(const QStringList& places);

// Property access by name, as a host binds a control it does not link. A window that sets the
// markers at every redraw passes its cache of the looked-up members.
void SetMarkerBackColor(QWidget* marker, views::OleColor color,
                        vantile::DispatchCache* cache = nullptr);
void SetMarkerCaption(QWidget* marker, const QString& caption,
                      vantile::DispatchCache* cache = nullptr);
QString MarkerCaptionOf(const QWidget* marker);
views::OleColor MarkerBackColorOf(const QWidget* marker);
void RefreshMarker(QWidget* marker);

// Forwards a marker's MouseDown event with the marker's index.
class MarkerMouseRelay : public QObject {
    Q_OBJECT
  public:
    using Handler = std::function<void(int index, int button, int shift, float x, float y)>;
    MarkerMouseRelay(QWidget* marker, int index, Handler handler);
    bool Connected() const { return connected_; }

  public slots:
    void OnMouseDown(short button, short shift, float x, float y);

  private:
    int index_;
    Handler handler_;
    bool connected_ = false;
};

}  // namespace quorvane::mainwin
