#include "installer/InstallerDialog.h"

#include "app/Log.h"
#include "app/UserFolders.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsListBox.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "installer/InstallerMessage.h"
#include "installer/PackageChooser.h"
#include "installer/PackageInstall.h"
#include "media/Draw2D.h"
#include "platform/desktop/RaiseRequest.h"
#include "platform/input/ScanCodes.h"

#include <cmath>

namespace {

constexpr uint32_t kBackground = 0xFF241A3C;
constexpr uint32_t kCaptionColour = 0xFFFFE8B0;
constexpr float kPlaceScaleX = 1.5f;
constexpr float kPlaceScaleY = 1.625f;

// The template's places (dialog units).
constexpr InstallerDialog::TemplatePlace kHeaderPlace{7, 6, 15, 13};
constexpr InstallerDialog::TemplatePlace kPathPlace{67, 123, 162, 14};
constexpr InstallerDialog::TemplatePlace kPathCaptionPlace{13, 126, 52, 9};
constexpr InstallerDialog::TemplatePlace kBrowsePlace{230, 123, 33, 14};
constexpr InstallerDialog::TemplatePlace kTitlePlace{67, 140, 196, 14};
constexpr InstallerDialog::TemplatePlace kTitleCaptionPlace{19, 143, 46, 9};
constexpr InstallerDialog::TemplatePlace kListPlace{67, 156, 196, 64};
constexpr InstallerDialog::TemplatePlace kListCaptionPlace{23, 157, 44, 9};
constexpr InstallerDialog::TemplatePlace kInstallPlace{66, 222, 198, 22};
constexpr InstallerDialog::TemplatePlace kExitPlace{66, 245, 198, 22};
constexpr InstallerDialog::TemplatePlace kFooterPlace{7, 273, 15, 13};

constexpr int kPathCapacity = 1 << 16;
constexpr int kLeftAlt = 56;
constexpr int kRightAlt = 184;

bool AltHeld(IInputDevice& device)
{
    return device.IsButtonDown(kLeftAlt) || device.IsButtonDown(kRightAlt);
}

float TextScaleForLabels()
{
    return kInstallerTextScale / GetUiScale();
}

void Place(Primitive* control, const InstallerDialog::TemplatePlace& place)
{
    const FloatRect pixels = InstallerDialog::ToPixels(place);
    control->SetPosition(Primitive::ToVirtualX(pixels.left), Primitive::ToVirtualY(pixels.top));
    control->SetSize(Primitive::ToVirtualX(pixels.right - pixels.left), Primitive::ToVirtualY(pixels.bottom - pixels.top));
}

// A read-only one-line box of the dialog font.
FlimbsEditBox* MakeReadOnlyBox(int id, const InstallerDialog::TemplatePlace& place)
{
    auto* box = new FlimbsEditBox(0, 0xFFFFFFFF);
    box->tag = id;
    box->readOnly = 1;
    box->SetCapacity(kPathCapacity); // a path is never cut
    box->textScale = kInstallerTextScale;
    Place(box, place);
    return box;
}

Label* MakeCaption(const std::string& text, const InstallerDialog::TemplatePlace& place)
{
    auto* label = new Label(0, kCaptionColour, kLabelRight | kLabelVCentre, text);
    label->SetScale(TextScaleForLabels());
    Place(label, place);
    return label;
}

// A button whose caption carries a '&' before its accelerator letter: the letter is shown
// underlined and the '&' not at all.
class AcceleratorButton : public FlimbsButton {
public:
    AcceleratorButton(int id, const std::string& captionWithMark, const InstallerDialog::TemplatePlace& place)
        : FlimbsButton(WithoutMark(captionWithMark))
    {
        tag = id;
        commandId = id;
        keyboardActivation = 1;
        const size_t mark = captionWithMark.find('&');
        accelerator_ = mark == std::string::npos ? std::string::npos : mark;
        SetFont(0, 0xFFFFFFFF, TextScaleForLabels());
        Place(this, place);
    }

    void Draw() override
    {
        FlimbsButton::Draw();
        if (accelerator_ == std::string::npos || !visible)
            return;
        // The underline sits under the letter of the centred caption.
        const float whole = WidgetTextWidthOf(caption);
        const float before = WidgetTextWidthOf(caption.substr(0, accelerator_));
        const float letter = WidgetTextWidthOf(caption.substr(accelerator_, 1));
        const float left = std::round((rect.left + rect.right - whole) / 2 + before);
        const float base = std::round((rect.top + rect.bottom) / 2 + LineHeightOf() * 0.42f);
        Draw2D::DrawFilledRect(left, base, left + letter, base + 1, enabled ? textColour : 0xFF9A9090);
    }

private:
    static std::string WithoutMark(const std::string& text)
    {
        std::string shown = text;
        if (const size_t mark = shown.find('&'); mark != std::string::npos)
            shown.erase(mark, 1);
        return shown;
    }
    float WidgetTextWidthOf(const std::string& text) const { return WidgetTextWidth(fontId, text, textScale); }
    float LineHeightOf() const { return WidgetLineHeight(fontId, textScale); }

    size_t accelerator_ = std::string::npos;
};

// The level list ignores the keys held with Alt: they are the dialog's accelerators.
class LevelTitleList : public FlimbsListBox {
public:
    int OnKey(int value, int code, bool shift, IInputDevice& device) override
    {
        return AltHeld(device) ? 0 : FlimbsListBox::OnKey(value, code, shift, device);
    }
};

InstallerDialog* DialogOf(Primitive* from)
{
    for (Primitive* node = from; node; node = node->parent)
        if (auto* dialog = dynamic_cast<InstallerDialog*>(node))
            return dialog;
    return nullptr;
}

} // namespace

FloatRect InstallerDialog::ToPixels(const TemplatePlace& place)
{
    const float left = std::round(place.x * kPlaceScaleX);
    const float top = std::round(place.y * kPlaceScaleY);
    return FloatRect{left, top, left + std::round(place.width * kPlaceScaleX),
                     top + std::round(place.height * kPlaceScaleY)};
}

InstallerDialog::InstallerDialog()
{
    SetName(kName);
    containerFlags |= kContainerWindow;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);

    // Pictures keep their own size at their template corner.
    auto picture = [this](int id, const char* path, const TemplatePlace& place) {
        auto* image = new ScreenImage(path);
        image->tag = id;
        const FloatRect pixels = ToPixels(place);
        image->SetPosition(ToVirtualX(pixels.left), ToVirtualY(pixels.top));
        AddChild(image);
        return image;
    };
    header_ = picture(kHeaderId, "Graphics\\Installer\\header.png", kHeaderPlace);
    header_->name = "HeaderPicture";
    footer_ = picture(kFooterId, "Graphics\\Installer\\footer.png", kFooterPlace);
    footer_->name = "FooterPicture";

    AddChild(MakeCaption("Package:", kPathCaptionPlace));
    path_ = MakeReadOnlyBox(kPathId, kPathPlace);
    path_->name = "PackagePath";
    AddChild(path_);
    browse_ = new AcceleratorButton(kBrowseId, "&Browse", kBrowsePlace);
    browse_->name = "Browse";
    browse_->onClick = [](Primitive* parent, Button*) {
        if (InstallerDialog* dialog = DialogOf(parent))
            dialog->Browse();
    };
    AddChild(browse_);

    AddChild(MakeCaption("Title:", kTitleCaptionPlace));
    title_ = MakeReadOnlyBox(kTitleId, kTitlePlace);
    title_->name = "PackageTitle";
    AddChild(title_);

    AddChild(MakeCaption("Level Title(s):", kListCaptionPlace));
    auto* list = new LevelTitleList;
    list->name = "LevelTitles";
    list->tag = kLevelListId;
    list->fontId = 0;
    list->textScale = kInstallerTextScale;
    list->SetStyleFlags(kListScrollBar);
    Place(list, kListPlace);
    levels_ = list;
    AddChild(list);

    install_ = new AcceleratorButton(kInstallId, "&Install Package", kInstallPlace);
    install_->name = "InstallPackage";
    install_->enabled = 0;
    install_->onClick = [](Primitive* parent, Button*) {
        if (InstallerDialog* dialog = DialogOf(parent))
            dialog->Install();
    };
    AddChild(install_);
    exit_ = new AcceleratorButton(kExitId, "E&xit", kExitPlace);
    exit_->name = "Exit";
    exit_->onClick = [](Primitive* parent, Button*) {
        if (InstallerDialog* dialog = DialogOf(parent))
            dialog->Exit();
    };
    AddChild(exit_);
}

void InstallerDialog::Draw()
{
    if (!visible)
        return;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, kBackground);
    PrimContainer::Draw();
}

int InstallerDialog::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (!active || ended_)
        return 0;
    if (value == 0)
        return PrimContainer::OnKey(value, code, shift, device);
    const bool alt = AltHeld(device);
    const bool letters = alt || dynamic_cast<ListBox*>(GetKeyboardFocus()) == nullptr;
    if (code == kKeyEnter || code == kKeyNumpadEnter) {
        if (install_->enabled)
            install_->Click();
        return 1;
    }
    if (letters && code == kKeyB) {
        browse_->Click();
        return 1;
    }
    if (letters && code == kKeyI) {
        if (install_->enabled)
            install_->Click();
        return 1;
    }
    if (letters && code == kKeyX) {
        exit_->Click();
        return 1;
    }
    return PrimContainer::OnKey(value, code, shift, device);
}

Primitive* InstallerDialog::Control(int id) const
{
    switch (id) {
    case kInstallId: return install_;
    case kPathId: return path_;
    case kBrowseId: return browse_;
    case kExitId: return exit_;
    case kLevelListId: return levels_;
    case kTitleId: return title_;
    case kHeaderId: return header_;
    case kFooterId: return footer_;
    default: return nullptr;
    }
}

void InstallerDialog::SetPackagePath(const std::string& path)
{
    path_->SetText(path);
    path_->SetCaret(path.size(), false); // the end of a long path shows
    ListPackage();
}

void InstallerDialog::ListPackage()
{
    install_->enabled = 0;
    levels_->Clear();
    title_->SetText("");
    const std::string path = path_->GetText();
    if (path.empty())
        return;
    const PackageListing listing = ::ListPackage(path);
    title_->SetText(listing.title);
    for (const std::string& level : listing.levelTitles)
        levels_->AddItem(level);
    levels_->Sort();
    install_->enabled = listing.installable ? 1 : 0;
}

void InstallerDialog::Install()
{
    const std::string path = path_->GetText();
    if (path.empty()) {
        ShowInstallerMessage("", kEmptyPathText);
        return;
    }
    const InstallReport report = InstallPackage(path);
    ShowInstallerMessage(report.Title(), report.Message());
}

void InstallerDialog::Browse()
{
    ShowPackageChooser([this](const std::string& chosen) { SetPackagePath(chosen); });
}

void InstallerDialog::Exit()
{
    const std::string socket = platform::RaiseSocketPath(GetUserRoot());
    if (!platform::SendRaiseRequest(socket))
        WriteLog("Package installer: no game answered at %s\n", socket.c_str());
    End(0);
}

void InstallerDialog::CloseBox()
{
    End(0);
}

void InstallerDialog::End(int code)
{
    if (ended_)
        return;
    ended_ = true;
    exitCode_ = code;
}
