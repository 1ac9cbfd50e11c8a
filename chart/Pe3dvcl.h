#pragma once
// The 3-D chart control: paints the chart engine's image, forwards input to the engine,
// mirrors its scroll bars and turns what the engine reports into events.
#include <QScrollBar>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string_view>

#include "chart/ChartEngine.h"
#include "chart/ChartEnums.h"
#include "chart/ChartProperties.h"
#include "chart/ChartScrollBars.h"

class Pe3do : public QWidget {
    Q_OBJECT
public:
    explicit Pe3do(QWidget* owner = nullptr);
    ~Pe3do() override;

    // The engine object (never null while the control lives).
    chart::ChartEngine* GethObject() const { return hObject_; }
    // After the form's values were applied: re-render and repaint.
    void Loaded();
    // Re-renders at once in the form designer only; at run time an action does it.
    void ResetandInvalidate();
    void SetDesigning(bool on) { designing_ = on; }
    bool Designing() const { return designing_; }
    bool Created() const { return created_; }

    // ---- every property by name or by id, converted by its kind ----
    // Scalars: bool, int32, colour (uint32), enumeration (ordinal or enumerator name),
    // double, single, text. Unknown names and read-only properties are ignored.
    void Set(std::string_view name, const QVariant& v);
    QVariant Get(std::string_view name) const;
    void SetItem(std::string_view name, int index, const QVariant& v);
    QVariant GetItem(std::string_view name, int index) const;
    void SetItem2(std::string_view name, int subset, int point, const QVariant& v);
    QVariant GetItem2(std::string_view name, int subset, int point) const;
    void SetById(int id, const QVariant& v);
    QVariant GetById(int id) const;
    void SetItemById(int id, int index, const QVariant& v);
    QVariant GetItemById(int id, int index) const;
    void SetItem2ById(int id, int subset, int point, const QVariant& v);
    QVariant GetItem2ById(int id, int subset, int point) const;

    // ---- the accessors the main window and the control use ----
    void SetSubsets(int32_t v) { SetInt(chart::id::Subsets, v); }
    int32_t GetSubsets() const { return hObject_->GetNumber(chart::id::Subsets); }
    void SetPoints(int32_t v) { SetInt(chart::id::Points, v); }
    int32_t GetPoints() const { return hObject_->GetNumber(chart::id::Points); }
    void SetXData(int32_t s, int32_t p, float v) { hObject_->Store().SetData(chart::id::XData, s, p, v); }
    float GetXData(int32_t s, int32_t p) const { return hObject_->Store().GetData(chart::id::XData, s, p); }
    void SetYData(int32_t s, int32_t p, float v) { hObject_->Store().SetData(chart::id::YData, s, p, v); }
    float GetYData(int32_t s, int32_t p) const { return hObject_->Store().GetData(chart::id::YData, s, p); }
    void SetZData(int32_t s, int32_t p, float v) { hObject_->Store().SetData(chart::id::ZData, s, p, v); }
    float GetZData(int32_t s, int32_t p) const { return hObject_->Store().GetData(chart::id::ZData, s, p); }
    void SetSubsetColors(int32_t i, uint32_t c) { hObject_->SetItem(chart::id::SubsetColors, i, c); }
    uint32_t GetSubsetColors(int32_t i) const { return hObject_->GetItem(chart::id::SubsetColors, i).toUInt(); }
    void SetPointColors(int32_t s, int32_t p, uint32_t c) { hObject_->Store().SetPointColor(s, p, c); }
    uint32_t GetPointColors(int32_t s, int32_t p) const;
    void SetSubsetPointTypes(int32_t i, int32_t t) { hObject_->SetItem(chart::id::SubsetPointTypes, i, t); }
    int32_t GetSubsetPointTypes(int32_t i) const { return hObject_->GetItem(chart::id::SubsetPointTypes, i).toInt(); }
    void SetPointTypes(int32_t s, int32_t p, int32_t t) { hObject_->Store().SetPointType(s, p, t); }
    int32_t GetPointTypes(int32_t s, int32_t p) const;
    void SetSubsetLineTypes(int32_t i, int32_t t) { hObject_->SetItem(chart::id::SubsetLineTypes, i, t); }
    int32_t GetSubsetLineTypes(int32_t i) const { return hObject_->GetItem(chart::id::SubsetLineTypes, i).toInt(); }
    void SetComparisonSubsets(int32_t v) { SetInt(chart::id::ComparisonSubsets, v); }
    int32_t GetComparisonSubsets() const { return hObject_->GetNumber(chart::id::ComparisonSubsets); }
    void SetAutoScaleData(bool v) { SetInt(chart::id::AutoScaleData, v); }
    bool GetAutoScaleData() const { return Bool(chart::id::AutoScaleData); }
    void SetCustomGridNumbersY(bool v) { SetInt(chart::id::CustomGridNumbersY, v); }
    bool GetCustomGridNumbersY() const { return Bool(chart::id::CustomGridNumbersY); }
    void SetGraphForeColor(uint32_t c) { SetInt(chart::id::GraphForeColor, int32_t(c)); }
    uint32_t GetGraphForeColor() const { return uint32_t(hObject_->GetNumber(chart::id::GraphForeColor)); }
    void SetGridLineControl(eGridLineControl v) { SetInt(chart::id::GridLineControl, v); }
    eGridLineControl GetGridLineControl() const { return eGridLineControl(Ordinal(chart::id::GridLineControl)); }
    void SetMainTitle(const QString& v) { SetTextById(chart::id::MainTitle, v); }
    QString GetMainTitle() const { return Text(chart::id::MainTitle); }
    void SetSubTitle(const QString& v) { SetTextById(chart::id::SubTitle, v); }
    QString GetSubTitle() const { return Text(chart::id::SubTitle); }
    void SetXAxisLabel(const QString& v) { SetTextById(chart::id::XAxisLabel, v); }
    QString GetXAxisLabel() const { return Text(chart::id::XAxisLabel); }
    void SetYAxisLabel(const QString& v) { SetTextById(chart::id::YAxisLabel, v); }
    QString GetYAxisLabel() const { return Text(chart::id::YAxisLabel); }
    void SetZAxisLabel(const QString& v) { SetTextById(chart::id::ZAxisLabel, v); }
    QString GetZAxisLabel() const { return Text(chart::id::ZAxisLabel); }
    void SetShowZAxis(eShowAxis v) { SetInt(chart::id::ShowZAxis, v); }
    eShowAxis GetShowZAxis() const { return eShowAxis(Ordinal(chart::id::ShowZAxis)); }
    void SetAutoRotation(bool v) { SetInt(chart::id::AutoRotation, v); }
    bool GetAutoRotation() const { return Bool(chart::id::AutoRotation); }
    void SetRotationSpeed(int32_t v) { SetInt(chart::id::RotationSpeed, v); }
    int32_t GetRotationSpeed() const { return hObject_->GetNumber(chart::id::RotationSpeed); }
    void SetZDistance(float v);
    float GetZDistance() const { return hObject_->GetSingle(chart::id::ZDistance); }
    void SetPrepareImages(bool v) { SetInt(chart::id::PrepareImages, v); }
    bool GetPrepareImages() const { return Bool(chart::id::PrepareImages); }
    void SetCacheBmp(bool v) { SetInt(chart::id::CacheBmp, v); }
    bool GetCacheBmp() const { return Bool(chart::id::CacheBmp); }
    void SetFocalRect(bool v) { SetInt(chart::id::FocalRect, v); }
    bool GetFocalRect() const { return Bool(chart::id::FocalRect); }
    void SetRenderEngine(eRenderEngine v) { SetInt(chart::id::RenderEngine, v); }
    eRenderEngine GetRenderEngine() const { return eRenderEngine(Ordinal(chart::id::RenderEngine)); }
    void SetDefOrientation(eDefOrientation v) { SetInt(chart::id::DefOrientation, v); }
    eDefOrientation GetDefOrientation() const { return eDefOrientation(Ordinal(chart::id::DefOrientation)); }
    void SetAllowDataHotSpots(bool v) { SetInt(chart::id::AllowDataHotSpots, v); }
    bool GetAllowDataHotSpots() const { return Bool(chart::id::AllowDataHotSpots); }
    void SetAllowGridNumberHotSpotsX(bool v) { SetInt(chart::id::AllowGridNumberHotSpotsX, v); }
    bool GetAllowGridNumberHotSpotsX() const { return Bool(chart::id::AllowGridNumberHotSpotsX); }
    void SetAllowGridNumberHotSpotsY(bool v) { SetInt(chart::id::AllowGridNumberHotSpotsY, v); }
    bool GetAllowGridNumberHotSpotsY() const { return Bool(chart::id::AllowGridNumberHotSpotsY); }
    void SetAllowGridNumberHotSpotsZ(bool v) { SetInt(chart::id::AllowGridNumberHotSpotsZ, v); }
    bool GetAllowGridNumberHotSpotsZ() const { return Bool(chart::id::AllowGridNumberHotSpotsZ); }
    int32_t GetObjectType() const { return hObject_->GetNumber(chart::id::ObjectType); }
    int32_t GetPainting() const { return hObject_->GetNumber(chart::id::Painting); }

    // ---- actions ----
    void SetPEactions(ePEactions v);
    ePEactions GetPEactions() const { return tdReinitAndReset; }
    void SetPEnarg1(int32_t v) { PEnarg1_ = v; }
    int32_t GetPEnarg1() const { return PEnarg1_; }
    void SetPEnarg2(int32_t v) { PEnarg2_ = v; }
    int32_t GetPEnarg2() const { return PEnarg2_; }
    void SetPEstrarg1(const QString& v) { PEstrarg1_ = v; }
    QString GetPEstrarg1() const { return PEstrarg1_; }
    static uint32_t PEargb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
        return uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(g) << 8 | r;
    }
    int32_t AppendFromURL(const QString& url) { return hObject_->AppendFromUrl(url); }

    // The framework's scroll bars of the control (shown while the engine has a range).
    QScrollBar* HorzScrollBar() const { return bars_->Bar(Qt::Horizontal); }
    QScrollBar* VertScrollBar() const { return bars_->Bar(Qt::Vertical); }
    // The part of the control that shows the chart.
    QRect ImageRect() const { return bars_->ImageRect(); }

signals:
    void OnParamUpdate();
    void OnVertScroll(int scrollCode, int& scrollPos);
    void OnHorzScroll(int scrollCode, int& scrollPos);
    void OnSubsetHotSpot(int dblClick, int subsetIndex);
    void OnDataHotSpot(int dblClick, int subsetIndex, int pointIndex);
    void OnGraphAnnotHotSpot(int dblClick, int nIndex);
    void OnCustomizeDlg();
    void OnPopupMenu();
    void OnMainTitle(int dblClick);
    void OnSubTitle(int dblClick);
    void OnMultiSubTitle(int dblClick, int nIndex, int nJustification);
    void OnMultiBottomTitle(int dblClick, int nIndex, int nJustification);
    void OnCustomGridnumbers(int nAxisType, int nAxisIndex, double dNumber, char16_t* szData);
    void OnTableAnnotation(int dblClick, int nIndex, int nRow, int nColumn);
    void OnCustomMenu(int menuIndex, int submenuIndex);
    void OnPreHScroll();
    void OnPreVScroll();
    void OnPointHotSpot(int dblClick, int pointIndex);
    void OnGridNumber(int dblClick, int nType, double dNumber);
    // The framework's own events, raised when no hot spot took the input.
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void OnKeyDown(int key, Qt::KeyboardModifiers mods);
    void OnKeyUp(int key, Qt::KeyboardModifiers mods);

public slots:
    // An engine notification; ignored unless it comes from this control's engine.
    void WMCommand(int code);

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    // Every key is the chart's, Tab included, as long as there is an engine to take it.
    bool focusNextPrevChild(bool next) override;

private:
    void Attach();
    void SetInt(int id, int32_t v);
    void SetTextById(int id, const QString& v);
    bool Bool(int id) const { return (hObject_->GetNumber(id) & 0xFF) != 0; }
    int Ordinal(int id) const { return hObject_->GetNumber(id) & 0xFF; }
    QString Text(int id) const;
    void HotSpot(int dblClick, QMouseEvent* e);
    // Raises the event of the hot spot h, if it has one.
    void RaiseHotSpot(int dblClick, const chart::HotSpotRecord& h);
    void MirrorScrollBars();
    void EngineScrolled(Qt::Orientation o, int code, int pos);
    void Layout();

    chart::ChartEngine* hObject_ = nullptr;
    bool created_ = false;
    bool designing_ = false;
    bool clickPending_ = false;
    bool hotSpotPending_ = false;  // a pressed hot spot, raised when no drag follows
    int32_t PEnarg1_ = 0, PEnarg2_ = 0;
    QString PEstrarg1_;
    QPoint lastMovePos_;
    Qt::MouseButtons lastMoveButtons_;
    bool movedOnce_ = false;
    std::unique_ptr<chart::ChartScrollBars> bars_;
};

// Applies the values the main window's form stores for its chart, in their order.
void ApplyMainFormChartValues(Pe3do& chart);
