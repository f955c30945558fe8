#pragma once
// The rich edit's print margins, the page rectangle they leave on the printer's page,
// and the page setup dialog that edits margins, paper and orientation.

#include "datacontrols/richtext/dwrichunits.h"
#include "platform/classes/component.h"
#include "platform/classes/persistent.h"
#include "platform/vcl/graphics/geometry.h"

class TdwCustomRichEdit;

// The four margins in the rich edit's measurement units.
class TdwPrintMargins : public TPersistent {
public:
    String ClassName() const override { return "TdwPrintMargins"; }
    void Assign(TPersistent* Source) override;

    double Top = 1.0;
    double Bottom = 1.0;
    double Left = 1.0;
    double Right = 1.0;
};

// The printer's sheet and where its printable page begins on it, in twips.
struct TdwPrinterPage {
    int Width = 0;
    int Height = 0;
    int OffsetX = 0;
    int OffsetY = 0;
};

// The current printer's page in twips.
TdwPrinterPage dwCurrentPrinterPage();
// The text's rectangle in twips from the printable page's corner: the sheet less the
// margins (in twips), each edge kept between 0 and the sheet's extent.
TRect dwPageRectFromMargins(const TdwPrinterPage& Page, int Left, int Top, int Right, int Bottom);

class TdwPageSetupDialog : public TComponent {
public:
    explicit TdwPageSetupDialog(TComponent* AOwner) : TComponent(AOwner) { }
    String ClassName() const override { return "TdwPageSetupDialog"; }

    // Offers the rich edit's margins, and its paper when it is laid out at the printer's
    // width; on OK they and the orientation go to the rich edit and the printer. True
    // when the user pressed OK.
    virtual bool Execute();

    TdwCustomRichEdit* RichEdit = nullptr;
};
