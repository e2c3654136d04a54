#include "CatalogRead.h"

#include <memory>

#include "setup/win32/Win32AppCommands.h"

namespace remote {

namespace {

constexpr UINT kMsgCatalogRead = WM_APP + 1;
constexpr char kMessageClass[] = "QRTLRemoteCatalogReader";

// What the worker owns: the window to answer, and the result it fills.
struct Job {
    HWND answerTo = nullptr;
    unsigned generation = 0;
    CatalogResult result;
};

// The message carries the job's generation and the job itself, which the receiver
// takes over; a job whose message cannot be posted (the reader is gone) is deleted
// by the worker. Posted and decoded only here.
void PostJob(std::unique_ptr<Job> job) {
    const HWND answerTo = job->answerTo;
    const WPARAM generation = job->generation;
    Job* raw = job.release();
    if (!::PostMessageA(answerTo, kMsgCatalogRead, generation, reinterpret_cast<LPARAM>(raw))) delete raw;
}

std::unique_ptr<Job> TakeJob(LPARAM lParam) { return std::unique_ptr<Job>(reinterpret_cast<Job*>(lParam)); }

DWORD WINAPI ReadOnWorker(LPVOID parameter) {
    std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    job->result.catalog = qrtl::win32::ReadAppCatalog(job->result.target, job->result.exePath);
    PostJob(std::move(job));
    return 0;
}

}  // namespace

CatalogReader::~CatalogReader() {
    if (window_ != nullptr) ::DestroyWindow(window_);
}

bool CatalogReader::EnsureWindow() {
    if (window_ != nullptr) return true;
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MessageProc;
    wc.hInstance = instance;
    wc.lpszClassName = kMessageClass;
    ::RegisterClassA(&wc);  // a second registration fails harmlessly
    window_ = ::CreateWindowExA(0, kMessageClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window_ == nullptr) return false;
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

bool CatalogReader::Start(HWND target, Done done) {
    if (!EnsureWindow()) return false;
    auto job = std::make_unique<Job>();
    job->answerTo = window_;
    job->generation = ++generation_;
    job->result.target = target;
    // The worker is not waited for: it holds nothing of this object, and ends by
    // itself once the application has answered or the read's deadline has passed.
    const HANDLE thread = ::CreateThread(nullptr, 0, ReadOnWorker, job.get(), 0, nullptr);
    if (thread == nullptr) return false;
    job.release();
    ::CloseHandle(thread);
    pending_ = generation_;
    done_ = std::move(done);
    return true;
}

LRESULT CALLBACK CatalogReader::MessageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kMsgCatalogRead) return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    std::unique_ptr<Job> job = TakeJob(lParam);
    auto* self = reinterpret_cast<CatalogReader*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (self == nullptr || wParam != self->pending_) return 0;  // an older read's result
    self->pending_ = 0;
    Done done = std::move(self->done_);
    if (done) done(job->result);
    return 0;
}

}  // namespace remote
