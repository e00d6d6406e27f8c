#pragma once

#include <QColor>
#include <QVariantMap>
#include <QWidget>

/// The application's progress bar. It keeps its properties itself and owns a
/// drawn bar (the "native bar") that it creates to fill its area and updates
/// whenever a property changes; setting a property to the value it already
/// has leaves the bar alone. Its properties are stored with the window that
/// holds it (WriteProperties/ReadProperties).
class ondProgressBar final : public QWidget
{
    Q_OBJECT
public:
    /// The drawing state of the native bar, as the bar itself holds it.
    struct NativeBar
    {
        bool smooth = false;
        bool vertical = false;
        qint32 position = 0; ///< clamped to the range, as a native bar does
        qint32 min = 0;
        qint32 max = 100;
        qint32 step = 10;
        QColor backColor;
        QColor barColor;
        qint32 edge = 1;
    };

    explicit ondProgressBar(QWidget *parent = nullptr);

    bool Smooth() const { return m_smooth; }
    void SetSmooth(bool smooth);
    qint32 Position() const { return m_position; }
    void SetPosition(qint32 position);
    qint32 Orientation() const { return m_orientation; }
    void SetOrientation(qint32 orientation);
    qint32 Min() const { return m_min; }
    void SetMin(qint32 min);
    qint32 Max() const { return m_max; }
    void SetMax(qint32 max);
    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor &color);
    QColor BarColor() const { return m_barColor; }
    void SetBarColor(const QColor &color);
    qint32 Step() const { return m_step; }
    void SetStep(qint32 step);
    qint32 Borderstyle() const { return m_borderstyle; }
    void SetBorderstyle(qint32 style);
    /// The control's own window id.
    quintptr hwnd() const { return quintptr(winId()); }

    /// Advances by Step.
    void StepIt();
    /// Advances by lInc.
    void IncrementIt(qint32 lInc);

    /// Applies the defaults of a control newly placed on a window.
    void InitProperties();
    /// Writes the properties that differ from their defaults.
    void WriteProperties(QVariantMap &bag) const;
    /// Creates the bar, then applies every property from the bag (or its default) in order.
    void ReadProperties(const QVariantMap &bag);
    /// True when a property was set since the last store.
    bool PropertiesChanged() const { return m_changed; }

    /// What the native bar shows; nothing before it is created.
    const NativeBar *Native() const { return m_native ? &*m_native : nullptr; }
    /// How many updates the native bar has received, re-creations included.
    int NativeUpdates() const { return m_nativeUpdates; }
    /// How many times the native bar has been created.
    int NativeCreations() const { return m_nativeCreations; }

    static QColor DefaultBackColor();
    static QColor DefaultBarColor();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createNativeBar();
    void recreateNativeBar();
    /// Sends one change to the native bar, when there is one.
    template <typename F> void forward(F &&change);
    void forwardPosition();
    /// The range and, clamped to it, the position, in one change.
    void forwardRange();
    void changed() { m_changed = true; }

    bool m_smooth = false;
    qint32 m_position = 0;
    qint32 m_orientation = 0;
    qint32 m_min = 1;
    qint32 m_max = 100;
    QColor m_backColor;
    QColor m_barColor;
    qint32 m_step = 10;
    qint32 m_borderstyle = 0;
    bool m_changed = false;

    std::optional<NativeBar> m_native;
    int m_nativeUpdates = 0;
    int m_nativeCreations = 0;
};
