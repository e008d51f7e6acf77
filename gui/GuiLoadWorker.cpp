#include "gui/GuiLoadWorker.h"

#include "app/Log.h"

#include <exception>
#include <system_error>

GuiLoadWorker::GuiLoadWorker()
{
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
}

GuiLoadWorker::~GuiLoadWorker() { WaitForWorker(); }

std::string GuiLoadWorker::GetCursorName() { return "loading"; }

bool GuiLoadWorker::StartWorker()
{
    if (WorkerStarted()) {
        WriteLog("GuiLoadWorker: the worker of %s was already started\n", name.c_str());
        return false;
    }
    try {
        thread_ = std::thread([this] { ThreadProc(); });
    } catch (const std::system_error& e) {
        WriteLog("GuiLoadWorker: could not start the worker thread: %s\n", e.what());
        return false;
    }
    return true;
}

void GuiLoadWorker::ThreadProc()
{
    std::unique_ptr<Primitive> screen;
    try {
        screen.reset(Build());
    } catch (const std::exception& e) {
        WriteLog("GuiLoadWorker: the screen build failed: %s\n", e.what());
    } catch (...) {
        WriteLog("GuiLoadWorker: the screen build failed\n");
    }
    {
        std::lock_guard guard(lock_);
        built_ = std::move(screen);
    }
    finished_.store(true);
}

void GuiLoadWorker::WaitForWorker()
{
    if (thread_.joinable())
        thread_.join();
}

void GuiLoadWorker::Update()
{
    PrimContainer::Update();
    if (loaded_ || !thread_.joinable() || !finished_.load())
        return;
    thread_.join();
    loaded_ = true;
    Loaded(); // may delete this
}

Primitive* GuiLoadWorker::TakeBuiltScreen()
{
    std::lock_guard guard(lock_);
    return built_.release();
}

bool GuiLoadWorker::HasBuiltScreen()
{
    std::lock_guard guard(lock_);
    return built_ != nullptr;
}

StandardGuiLoader::StandardGuiLoader(GuiBuildFunction build, GuiLoadedCallback done, void* argument)
    : build_(std::move(build)), done_(std::move(done)), argument_(argument)
{
}

StandardGuiLoader::~StandardGuiLoader() { WaitForWorker(); }

Primitive* StandardGuiLoader::Build() { return build_ ? build_(argument_) : nullptr; }

void StandardGuiLoader::Loaded() { RunDoneCallback(); }

void StandardGuiLoader::RunDoneCallback()
{
    if (done_)
        done_(nullptr, this);
}
