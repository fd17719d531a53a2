#include "shell/qt/FormMainQuillon.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "eeprom/EepromCatalogue.h"
#include "shell/qt/Fonts.h"
#include "shell/qt/UpperCaseValidator.h"

namespace shell::qt {
namespace {

MainWindowLayout QuillonLayout() {
    return {
        .caption = "EEPROM  Programmer",
        .version = "   Ver  1.0",
        .aboutHint = "About Quillon",
        .typeHint = "Select Eeprom",
        .typeLabelAt = {403, 13},
        .typeListAt = {438, 9},
        .typeListWidth = 91,
        .memoryLabel = "Buffer Contents",
        .gridHint = "Buffer Contents (Hex)",
        .checksumLabelAt = {419, 222},
        .checksumAt = {488, 221},
        .checksumHint = "Buffer Check Sum (Hex)",
        .checksumColour = Qt::black,
        .verifyAt = {112, 303},
        .chip = "Eeprom",
        .openMenuCaption = "&Open Hex File",
        .saveMenuCaption = "&Save  Hex File",
    };
}

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), int(text.size())); }

}  // namespace

TfrmMainQuillon::TfrmMainQuillon(QuillonState& state, Hardware hardware, SettingsLocation settings)
    : TfrmMain(QuillonLayout()), logic_(state, *this, hardware, std::move(settings)) {
    for (const eeprom::DeviceEntry& device : eeprom::Catalogue()) cboType->addItem(Q(device.listText));

    QPushButton* cmdErase = AddButton("cmdErase", "Era&se", "Erase Eeprom", {208, 264});
    WireDeviceCommand(cmdErase, logic_, [this] { logic_.cmdEraseClick(); });

    AddLabel("Write  Delay", {441, 62});
    QComboBox* cboWriteDelay =
        AddList(Ctl::cboWriteDelay, "cboWriteDelay", "Select Byte Write Delay Time", {439, 80}, 91, false);
    for (const eeprom::WriteDelay& delay : eeprom::WriteDelays()) cboWriteDelay->addItem(Q(delay.listText));
    connect(cboWriteDelay, &QComboBox::activated, this, [this] { Guard([&] { logic_.cboWriteDelayChange(); }); });

    struct Field {
        Ctl ctl;
        const char* name;
        const char* label;
        const char* hint;
        int labelTop, top;
    };
    const Field fields[] = {
        {Ctl::edtBufStart, "edtBufStart", "Buffer Start", "Buffer Start Address (Hex)", 143, 141},
        {Ctl::edtBufEnd, "edtBufEnd", "Buffer End", "Buffer End Address (Hex)", 167, 165},
        {Ctl::edtE2Start, "edtE2Start", "Device Start", "Eeprom Start Address (Hex)", 191, 189},
    };
    for (const Field& field : fields) {
        AddLabel(field.label, {419, field.labelTop});
        auto* edit = new QLineEdit("0000", Client());
        edit->setObjectName(field.name);
        edit->setGeometry(488, field.top, 41, 19);
        edit->setMaxLength(4);
        edit->setValidator(new UpperCaseValidator(edit));
        edit->setToolTip(field.hint);
        edit->setFont(PixelFont("Arial", 12, true));
        edit->setStyleSheet("QLineEdit { color: blue; }");
        edit->installEventFilter(this);
        Register(field.ctl, edit);
    }

    QAction* info = mnuHelp->addAction("Device &Info");
    info->setObjectName("mnuDeviceInfo");
    connect(info, &QAction::triggered, this, [this] { Guard([&] { logic_.mnuDeviceInfoClick(); }); });

    WireCommon(logic_);
    logic_.FormCreate();
}

TfrmMainQuillon::~TfrmMainQuillon() {
    // The fields outlive the logic; no focus change may reach it from here on.
    for (Ctl ctl : {Ctl::edtBufStart, Ctl::edtBufEnd, Ctl::edtE2Start}) Control(ctl)->removeEventFilter(this);
}

// The address fields check what was typed when they lose the focus.
bool TfrmMainQuillon::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const std::pair<Ctl, void (QuillonMain::*)()> exits[] = {
            {Ctl::edtBufStart, &QuillonMain::edtBufStartExit},
            {Ctl::edtBufEnd, &QuillonMain::edtBufEndExit},
            {Ctl::edtE2Start, &QuillonMain::edtE2StartExit},
        };
        for (const auto& [ctl, handler] : exits)
            if (watched == Control(ctl)) Guard([&, handler = handler] { (logic_.*handler)(); });
    }
    return TfrmMain::eventFilter(watched, event);
}

}  // namespace shell::qt
