#include "shell/qt/FormMainCorvina.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "flash/FlashCatalogue.h"
#include "shell/qt/Fonts.h"

namespace shell::qt {
namespace {

MainWindowLayout CorvinaLayout() {
    return {
        .caption = "CORVINA Flash Programmer",
        .version = "   Ver  2.0",
        .aboutHint = "About CORVINA",
        .typeHint = "Select uController",
        .typeLabelAt = {363, 12},
        .typeListAt = {401, 8},
        .typeListWidth = 129,
        .memoryLabel = "Program Memory",
        .gridHint = "Buffer Contents Display",
        .checksumLabelAt = {419, 229},
        .checksumAt = {488, 228},
        .checksumHint = "Buffer Check Sum",
        .checksumColour = Qt::blue,
        .verifyAt = {208, 263},
        .chip = "uController",
        .openMenuCaption = "&Open Program",
        .saveMenuCaption = "&Save  Program",
    };
}

}  // namespace

TfrmMainCorvina::TfrmMainCorvina(CorvinaState& state, Hardware hardware, SettingsLocation settings)
    : TfrmMain(CorvinaLayout()), logic_(state, *this, hardware, std::move(settings)) {
    for (const flash::DeviceEntry& device : flash::Catalogue())
        if (!device.listText.empty()) cboType->addItem(QString::fromUtf8(device.listText.data(), int(device.listText.size())));

    QPushButton* cmdSignature = AddButton("cmdSignature", "&Signature", "Read uController Signature", {112, 304});
    WireDeviceCommand(cmdSignature, logic_, [this] { logic_.cmdSignatureClick(); });

    auto* fraProgBits = new QGroupBox("Program Bits", Client());
    fraProgBits->setObjectName("fraProgBits");
    fraProgBits->setGeometry(416, 66, 113, 143);
    struct Box {
        Ctl ctl;
        const char* name;
        const char* caption;
        int top;
        void (CorvinaMain::*click)();
    };
    const Box boxes[] = {
        {Ctl::chkLB1, "chkLB1", "  Lock Bit-1", 24, &CorvinaMain::chkLB1Click},
        {Ctl::chkLB2, "chkLB2", "  Lock Bit-2", 53, &CorvinaMain::chkLB2Click},
        {Ctl::chkLB3, "chkLB3", "  Lock Bit-3", 84, &CorvinaMain::chkLB3Click},
        {Ctl::chkISP, "chkISP", "  ISP Fuse", 114, &CorvinaMain::chkISPClick},
    };
    for (const Box& box : boxes) {
        auto* check = new QCheckBox(box.caption, fraProgBits);
        check->setObjectName(box.name);
        check->setGeometry(12, box.top, 97, 17);
        Register(box.ctl, check);
        connect(check, &QCheckBox::clicked, this, [this, click = box.click] { Guard([&] { (logic_.*click)(); }); });
    }

    WireCommon(logic_);
    logic_.FormCreate();
}

}  // namespace shell::qt
