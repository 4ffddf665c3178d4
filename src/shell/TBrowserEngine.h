#pragma once
// What the web view module offers the program: a view that loads pages, keeps a history, saves
// and prints. The module is loaded when a page is first shown (TBrowserView), so the program
// starts, and runs unattended reports, without the web engine. The two sides meet through plain
// virtual calls and two C entry points only; they share no meta-object code.

class QPrinter;
class QString;
class QUrl;
class QWidget;

class TBrowserEngine {
 public:
  // Hears what the page does; the view passes it on as signals.
  class TListener {
   public:
    virtual void OnLoadProgress(int percent) = 0;
    virtual void OnLoadFinished(bool ok) = 0;

   protected:
    ~TListener() = default;
  };

  virtual ~TBrowserEngine() = default;

  // The view itself, a child of the parent given at creation.
  virtual QWidget* Widget() = 0;
  virtual void Load(const QUrl& url) = 0;
  virtual QUrl Url() const = 0;
  virtual bool CanGoBack() const = 0;
  // Commands the page cannot carry out (Back without history) do nothing.
  virtual void Back() = 0;
  virtual void Forward() = 0;
  virtual void Stop() = 0;
  virtual void Reload() = 0;
  // The displayed document with its resources as one file; runs in the background.
  virtual void SaveAsSingleHtml(const QString& path) = 0;
  // The printer must live until the printing has finished.
  virtual void Print(QPrinter* printer) = 0;
};

// Raised with every change of the class above: a module built against another layout is refused
// rather than called.
inline constexpr int BrowserEngineInterfaceVersion = 1;

// The module's entry points, looked up by these names.
inline constexpr const char* BrowserEngineVersionEntry = "SonarvexBrowserEngineVersion";
inline constexpr const char* CreateBrowserEngineEntry = "SonarvexCreateBrowserEngine";
using TBrowserEngineVersionFunction = int (*)();
// Null when the engine cannot make a view.
using TCreateBrowserEngineFunction = TBrowserEngine* (*)(QWidget* parent, TBrowserEngine::TListener* listener);
