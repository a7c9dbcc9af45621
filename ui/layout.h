// The main window's form description: every control with its place, caption
// and tab order, as data. The window code creates the controls from this
// table; the inspector names controls by it. The tests keep their own copy
// of the design's numbers, so that a wrong number here fails them.
#pragma once

#include <cstddef>

namespace ui {

enum class ControlKind {
  ClientPanel,    // nxpClient
  GroupBox,       // grpb
  Label,          // lbl: sizes itself to its caption
  BevelPanel,     // pnl
  DriveSelector,  // drvcb
  Edit,           // edt
  GlyphButton,    // bbn
  StaticText,     // stt
};

enum ControlId : int {
  idNone = 0,
  idNxpClient = 100,
  idGrpbSystemInformation,
  idPnlFileSystem,
  idPnlPlatform,
  idLblPlattform,
  idLblFileSystem,
  idPnlVLBL,
  idPnlVSN,
  idDrvcbDrive,
  idEdtNVSN,
  idBbnOK,
  idBbnQuit,
  idSttCompiler,
  idLblVLBL,
  idLblVSN,
  idLblTargetDrive,
  idLblNVSN,
  idLblCredit,
  idLblHomePage,
};

struct Rect {
  int left, top, width, height;
};

struct ControlLayout {
  ControlId id;
  const char* name;
  ControlKind kind;
  ControlId parent;
  Rect rect;           // at 96 pixels per inch, relative to the parent's client area
  const char* caption; // nullptr where the window code supplies the text
  int tabOrder;        // within the parent; -1 for controls without one
};

// What each display panel shows until it is first set.
inline constexpr char kInitialPanelCaption[] = "Please Wait Moment...";

// In creation order, which is each parent's z order: every label comes just
// before the field it names, since the accessibility layer names a field
// after the static text above it, and a screen reader walks in z order.
// Focus moves by the window's own list, not by z order.
inline constexpr ControlLayout kMainLayout[] = {
    {idNxpClient, "nxpClient", ControlKind::ClientPanel, idNone, {0, 0, 394, 168}, "", -1},
    {idGrpbSystemInformation, "grpbSystemInformation", ControlKind::GroupBox, idNxpClient,
     {6, 6, 225, 68}, "System Information.", 0},
    {idLblPlattform, "lblPlattform", ControlKind::Label, idGrpbSystemInformation,
     {13, 16, 44, 13}, "Platform:", -1},
    {idPnlPlatform, "pnlPlatform", ControlKind::BevelPanel, idGrpbSystemInformation,
     {67, 13, 148, 20}, kInitialPanelCaption, 1},
    {idLblFileSystem, "lblFileSystem", ControlKind::Label, idGrpbSystemInformation,
     {3, 42, 58, 13}, "File System:", -1},
    {idPnlFileSystem, "pnlFileSystem", ControlKind::BevelPanel, idGrpbSystemInformation,
     {67, 38, 148, 20}, kInitialPanelCaption, 0},
    {idLblVLBL, "lblVLBL", ControlKind::Label, idNxpClient, {240, 3, 66, 13}, "Volume Label:",
     -1},
    {idPnlVLBL, "pnlVLBL", ControlKind::BevelPanel, idNxpClient, {240, 19, 148, 20},
     kInitialPanelCaption, 1},
    {idLblVSN, "lblVSN", ControlKind::Label, idNxpClient, {240, 42, 87, 13},
     "Volume Serial No.:", -1},
    {idPnlVSN, "pnlVSN", ControlKind::BevelPanel, idNxpClient, {240, 58, 148, 20},
     kInitialPanelCaption, 2},
    {idLblTargetDrive, "lblTargetDrive", ControlKind::Label, idNxpClient, {10, 86, 64, 13},
     "Target Drive:", -1},
    {idDrvcbDrive, "drvcbDrive", ControlKind::DriveSelector, idNxpClient, {138, 80, 151, 19},
     nullptr, 3},
    {idLblNVSN, "lblNVSN", ControlKind::Label, idNxpClient, {10, 106, 111, 13},
     "New Volume Serial No.:", -1},
    {idEdtNVSN, "edtNVSN", ControlKind::Edit, idNxpClient, {138, 102, 148, 21}, "", 4},
    {idBbnOK, "bbnOK", ControlKind::GlyphButton, idNxpClient, {310, 86, 72, 33}, "OK", 5},
    {idBbnQuit, "bbnQuit", ControlKind::GlyphButton, idNxpClient, {310, 125, 72, 33},
     "(&Q)uit", 6},
    {idLblCredit, "lblCredit", ControlKind::Label, idNxpClient, {17, 125, 264, 13}, nullptr, -1},
    {idLblHomePage, "lblHomePage", ControlKind::Label, idNxpClient, {42, 138, 203, 13}, nullptr,
     -1},
    {idSttCompiler, "sttCompiler", ControlKind::StaticText, idNxpClient, {55, 150, 203, 17},
     nullptr, 7},
};

inline constexpr int kClientWidth = 394;
inline constexpr int kClientHeight = 168;
inline constexpr int kFontHeight = -11;      // Tahoma at 96 pixels per inch
inline constexpr int kDesignZeroHeight = 13;  // height of "0" in that font
inline constexpr int kEntryMaxLength = 8;

inline constexpr char kWindowCaption[] = "Kestrova For Win9x/NT";

const ControlLayout* FindControl(ControlId id);
const ControlLayout* FindControl(const char* name);

}  // namespace ui
