#pragma once
// The painted backdrop behind the module view: a radial gradient from a lighter, slightly
// saturated tint of the window colour in the middle to the window colour at the edges. The
// themes use translucent window colours; the backdrop always paints them opaque.
//
// Thread: GUI thread. Owner: its parent, the main window's central widget.
#include <QColor>
#include <QWidget>

class MainBackground : public QWidget
{
    Q_OBJECT
public:
    explicit MainBackground(QWidget* parent = nullptr);

    // The colour at the gradient's centre for a window colour c.
    static QColor centreColour(const QColor& c);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void makeWindowOpaque();
    void rebuildGradient();

    QWidget* gradientWidget = nullptr;
};
