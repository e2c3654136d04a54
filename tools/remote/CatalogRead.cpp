#include "CatalogRead.h"

#include <utility>

#include "platform/win32/Win32Config.h"
#include "setup/LaunchFinding.h"
#include "setup/win32/PathKind.h"
#include "platform/win32/Win32Desktop.h"
#include "setup/win32/Win32AppCommands.h"
#include "setup/win32/Win32ClientWindow.h"

namespace remote {

namespace {

constexpr UINT kMsgCatalogRead = WM_APP + 1;
constexpr char kMessageClass[] = "QRTLRemoteCatalogReader";

}  // namespace

// What the reader and its workers share: the latest finished read. A worker whose
// read is no longer wanted leaves its result here unseen; the reader takes only the
// generation it waits for.
struct CatalogReader::Mailbox {
    Mailbox() { ::InitializeCriticalSection(&lock); }
    ~Mailbox() { ::DeleteCriticalSection(&lock); }
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    CRITICAL_SECTION lock;
    unsigned done = 0;  // the generation of `result`; 0: none
    CatalogResult result;
};

namespace {

struct Job {
    std::shared_ptr<CatalogReader::Mailbox> mailbox;
    HWND answerTo = nullptr;
    unsigned generation = 0;
    std::function<void(CatalogResult&)> work;
};

DWORD WINAPI ReadOnWorker(LPVOID parameter) {
    std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    CatalogResult result;
    job->work(result);
    ::EnterCriticalSection(&job->mailbox->lock);
    // A later read may have finished first: the latest one wins.
    if (job->generation > job->mailbox->done) {
        job->mailbox->done = job->generation;
        job->mailbox->result = std::move(result);
    }
    ::LeaveCriticalSection(&job->mailbox->lock);
    ::PostMessageA(job->answerTo, kMsgCatalogRead, 0, 0);
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
    mailbox_ = std::make_shared<Mailbox>();
    return true;
}

void CatalogReader::Start(HWND target, Done done) {
    file_ = false;
    Run(
        [target](CatalogResult& result) {
            result.target = target;
            result.catalog = qrtl::win32::ReadAppCatalog(target, result.exePath);
        },
        std::move(done));
}

void CatalogReader::StartExamine(HWND target, Done done) {
    file_ = false;
    Run(
        [target](CatalogResult& result) {
            qrtl::win32::Win32Desktop desktop;
            qrtl::win32::Win32Registry registry;
            bool unique = false;
            int childCount = 0;
            result.target = target;
            result.facts = qrtl::win32::ExamineClientWindow(desktop, registry, target, unique, childCount);
            result.catalog = qrtl::win32::ReadAppCatalog(target, result.exePath);
        },
        std::move(done));
}

void CatalogReader::StartFile(const std::string& program, Done done) {
    file_ = true;
    Run(
        [program](CatalogResult& result) {
            result.exePath = program;
            result.catalog = qrtl::win32::ReadFileCatalog(program);
        },
        std::move(done));
}

void CatalogReader::Run(Work work, Done done) {
    if (EnsureWindow()) {
        auto job = std::make_unique<Job>();
        job->mailbox = mailbox_;
        job->answerTo = window_;
        job->generation = ++generation_;
        job->work = work;
        // The worker is not waited for: it holds nothing of this object but the
        // shared mailbox, and ends by itself once the application has answered or
        // the read's deadline has passed.
        const HANDLE thread = ::CreateThread(nullptr, 0, ReadOnWorker, job.get(), 0, nullptr);
        if (thread != nullptr) {
            job.release();
            ::CloseHandle(thread);
            pending_ = generation_;
            done_ = std::move(done);
            return;
        }
    }
    pending_ = 0;
    done_ = nullptr;
    CatalogResult result;
    work(result);
    done(result);
}

void CatalogReader::Deliver() {
    if (pending_ == 0) return;
    CatalogResult result;
    ::EnterCriticalSection(&mailbox_->lock);
    const bool ready = mailbox_->done == pending_;
    if (ready) result = std::move(mailbox_->result);
    ::LeaveCriticalSection(&mailbox_->lock);
    if (!ready) return;  // an older read's wake-up, or a message not ours
    pending_ = 0;
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(result);
}

LRESULT CALLBACK CatalogReader::MessageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kMsgCatalogRead) return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    auto* self = reinterpret_cast<CatalogReader*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (self != nullptr) self->Deliver();
    return 0;
}

void CatalogReader::StartFor(HWND client, const qrtl::ProfileDocument& document, Done done) {
    Cancel();
    if (client != nullptr) return Start(client, std::move(done));
    qrtl::win32::Win32Registry registry;
    const qrtl::setup::LaunchFinding launch = qrtl::setup::FindLaunch(document, registry, qrtl::win32::KindOfPath);
    if (launch.state == qrtl::setup::LaunchState::Starts) StartFile(launch.program, std::move(done));
}

}  // namespace remote
