#pragma once
// A canvas that keeps what was drawn on it, for the page writer's geometry: lines
// with their pen widths, rectangles with their outline or fill, and texts with
// their top-left corner and font, in device pixels of a Letter page at a chosen
// resolution.

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <string>
#include <vector>

#include "platform/vcl/graphics/canvas.h"

struct TRecordedLine {
    QLine Line;
    int Width;
    Qt::PenCapStyle Cap;
};

struct TRecordedRect {
    QRect Rect;
    int PenWidth;  // 0: no outline
    bool Filled;
    QColor Fill;
};

struct TRecordedText {
    std::string Text;
    int Left;
    int Top;
    int Width;
    std::string Family;
    int PixelSize;
    bool Bold;
};

struct TRecording {
    std::vector<TRecordedLine> Lines;
    std::vector<TRecordedRect> Rects;
    std::vector<TRecordedText> Texts;

    void Clear() { *this = TRecording(); }
    // The first text that is Text; null when there is none.
    const TRecordedText* Find(const std::string& Text) const
    {
        for (const TRecordedText& text : Texts)
            if (text.Text == Text)
                return &text;
        return nullptr;
    }
};

class TRecordingEngine : public QPaintEngine {
public:
    explicit TRecordingEngine(TRecording& Into) : QPaintEngine(QPaintEngine::AllFeatures), FInto(Into) { }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& State) override
    {
        if (State.state() & DirtyPen)
            FPen = State.pen();
        if (State.state() & DirtyBrush)
            FBrush = State.brush();
    }
    void drawLines(const QLine* Lines, int Count) override
    {
        for (int i = 0; i < Count; ++i)
            FInto.Lines.push_back({Lines[i], FPen.width(), FPen.capStyle()});
    }
    void drawLines(const QLineF* Lines, int Count) override
    {
        for (int i = 0; i < Count; ++i)
            FInto.Lines.push_back({Lines[i].toLine(), FPen.width(), FPen.capStyle()});
    }
    void drawRects(const QRect* Rects, int Count) override
    {
        for (int i = 0; i < Count; ++i)
            Record(Rects[i]);
    }
    void drawRects(const QRectF* Rects, int Count) override
    {
        for (int i = 0; i < Count; ++i)
            Record(Rects[i].toRect());
    }
    void drawTextItem(const QPointF& Baseline, const QTextItem& Item) override
    {
        const QFont font = Item.font();
        const QFontMetrics metrics(font);
        const QString text = Item.text();
        FInto.Texts.push_back({text.toStdString(), qRound(Baseline.x()),
                               qRound(Baseline.y()) - metrics.ascent(), metrics.horizontalAdvance(text),
                               font.family().toStdString(), font.pixelSize(), font.bold()});
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { }
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override { }

private:
    void Record(const QRect& Rect)
    {
        const bool outlined = FPen.style() != Qt::NoPen;
        const bool filled = FBrush.style() != Qt::NoBrush;
        FInto.Rects.push_back({Rect, outlined ? std::max(1, FPen.width()) : 0, filled, FBrush.color()});
    }

    TRecording& FInto;
    QPen FPen;
    QBrush FBrush;
};

class TRecordingDevice : public QPaintDevice {
public:
    TRecordingDevice(TRecording& Into, int Dpi) : FEngine(Into), FDpi(Dpi) { }
    ~TRecordingDevice() override = default;
    QPaintEngine* paintEngine() const override { return &FEngine; }

protected:
    int metric(PaintDeviceMetric Metric) const override
    {
        switch (Metric) {
        case PdmWidth: return FDpi * 85 / 10;
        case PdmHeight: return FDpi * 11;
        case PdmWidthMM: return 216;
        case PdmHeightMM: return 279;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return FDpi;
        case PdmNumColors: return 0x7fffffff;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    mutable TRecordingEngine FEngine;
    int FDpi;
};

// A page of Dpi pixels per inch whose drawing lands in Recording.
class TRecordingCanvas : public TCanvas {
public:
    explicit TRecordingCanvas(int Dpi) : FDevice(Recording, Dpi)
    {
        FPainter.begin(&FDevice);
        AttachPainter(&FPainter, Dpi);
        Font()->SetPixelsPerInch(Dpi);
    }
    ~TRecordingCanvas() override
    {
        DetachPainter();
        FPainter.end();
    }

    TRecording Recording;

private:
    TRecordingDevice FDevice;
    QPainter FPainter;
};
