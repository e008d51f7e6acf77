#include "installer/PackageChooser.h"

#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsListBox.h"
#include "gui/GuiDevice.h"
#include "gui/Label.h"
#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "installer/InstallerMessage.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Pixels of the installer's window.
constexpr float kChooserWidth = 440.0f;
constexpr float kChooserPadding = 16.0f;
constexpr float kRowGap = 8.0f;
constexpr float kLineHeight = 24.0f;
constexpr float kListHeight = 170.0f;
constexpr float kChooserButtonWidth = 110.0f;
constexpr float kChooserButtonHeight = 30.0f;

Label* AddLine(PrimContainer* parent, const std::string& text, float top, uint32_t colour, int font)
{
    auto* label = new Label(font, colour, kLabelLeft | kLabelVCentre, text);
    label->SetScale(kInstallerTextScale / GetUiScale());
    label->SetPosition(Primitive::ToVirtualX(kChooserPadding), Primitive::ToVirtualY(top));
    label->SetSize(Primitive::ToVirtualX(kChooserWidth - 2 * kChooserPadding), Primitive::ToVirtualY(kLineHeight));
    parent->AddChild(label);
    return label;
}

StretchGraphicButton* AddButton(PrimContainer* parent, const std::string& caption, float left, float top)
{
    auto* button = new FlimbsButton(caption);
    button->name = caption;
    button->SetFont(0, 0xFFFFFFFF, kInstallerTextScale / GetUiScale());
    button->SetPosition(Primitive::ToVirtualX(left), Primitive::ToVirtualY(top));
    button->SetSize(Primitive::ToVirtualX(kChooserButtonWidth), Primitive::ToVirtualY(kChooserButtonHeight));
    parent->AddChild(button);
    return button;
}

std::string PackagesFolder()
{
    return GetUserPath("User\\Packages");
}

} // namespace

std::vector<std::string> PackageChooser::ListPackageFiles()
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(PackagesFolder(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, ".fpak") && it->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return ToLowerAscii(a) < ToLowerAscii(b); });
    return names;
}

PackageChooser::PackageChooser(Answer answer) : answer_(std::move(answer))
{
    name = kName;
    containerFlags = kContainerModal | kContainerModalBlocks | kContainerWindow;
    float top = kChooserPadding;
    AddLine(this, "Choose a package to install", top, 0xFFFFD24A, 3);
    top += kLineHeight + kRowGap;

    auto* list = new FlimbsListBox;
    list->name = "PackageFiles";
    list->fontId = 0;
    list->textScale = kInstallerTextScale;
    list->SetStyleFlags(kListScrollBar);
    list->SetPosition(ToVirtualX(kChooserPadding), ToVirtualY(top));
    list->SetSize(ToVirtualX(kChooserWidth - 2 * kChooserPadding), ToVirtualY(kListHeight));
    for (const std::string& file : ListPackageFiles())
        list->AddItem(file);
    list->onSelectionChanged = [this](Primitive*) {
        if (const std::string chosen = list_->GetText(); !chosen.empty())
            path_->SetText(chosen);
    };
    list->onDoubleClick = [this](Primitive*) { Open(); };
    list_ = list;
    AddChild(list);
    top += kListHeight + kRowGap;

    AddLine(this, "Flimbs Package (*.fpak), or the path of one:", top, 0xFFFFE8B0, 0);
    top += kLineHeight;
    auto* box = new FlimbsEditBox(0, 0xFFFFFFFF);
    box->name = "ChosenPath";
    box->textScale = kInstallerTextScale;
    box->SetCapacity(4096);
    box->SetPosition(ToVirtualX(kChooserPadding), ToVirtualY(top));
    box->SetSize(ToVirtualX(kChooserWidth - 2 * kChooserPadding), ToVirtualY(kLineHeight + 4));
    path_ = box;
    AddChild(box);
    top += kLineHeight + 4 + kRowGap * 2;

    StretchGraphicButton* open = AddButton(this, "Open", kChooserWidth - kChooserPadding - 2 * kChooserButtonWidth - kRowGap, top);
    open->onClick = [this](Primitive*, Button*) { Open(); };
    StretchGraphicButton* cancel = AddButton(this, "Cancel", kChooserWidth - kChooserPadding - kChooserButtonWidth, top);
    cancel->onClick = [this](Primitive*, Button*) { Cancel(); };

    const float height = top + kChooserButtonHeight + kChooserPadding;
    const float screenWidth = float(GetScreenWidth()), screenHeight = float(GetScreenHeight());
    SetSize(ToVirtualX(kChooserWidth), ToVirtualY(height));
    SetPosition(ToVirtualX(std::max(0.0f, (screenWidth - kChooserWidth) / 2)),
                ToVirtualY(std::max(0.0f, (screenHeight - height) / 2)));
}

void PackageChooser::Show()
{
    modal_.Take(this);
}

bool PackageChooser::Deactivate()
{
    const bool result = FlimbsWindow2::Deactivate();
    modal_.Release(this);
    return result;
}

int PackageChooser::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (!active)
        return 0;
    if (value && (code == kKeyEnter || code == kKeyNumpadEnter)) {
        Open();
        return 1;
    }
    if (value && code == kKeyEscape) {
        Cancel();
        return 1;
    }
    FlimbsWindow2::OnKey(value, code, shift, device);
    return 1;
}

void PackageChooser::Open()
{
    std::string typed = Trim(path_->GetText());
    if (typed.empty())
        return;
    fs::path chosen(typed);
    if (chosen.is_relative())
        chosen = fs::path(PackagesFolder()) / chosen;
    std::error_code error;
    if (!fs::is_regular_file(chosen, error)) {
        ShowInstallerMessage("Open", typed + "\nFile not found.\nCheck the file name and try again.");
        return;
    }
    Reply(chosen.string());
}

void PackageChooser::Cancel()
{
    Reply(std::string());
}

void PackageChooser::Reply(const std::string& path)
{
    const Answer answer = answer_;
    Close();
    if (answer)
        answer(path);
}

PackageChooser* ShowPackageChooser(PackageChooser::Answer answer)
{
    auto* chooser = new PackageChooser(std::move(answer));
    chooser->Show();
    return chooser;
}
