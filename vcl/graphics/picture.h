// TGraphic, the base of every picture class (bitmaps, icons, JPEG and PNG pictures), and
// TPicture, which holds one graphic of any registered class and loads files by extension.
//
// Picture classes register with RegisterFileFormat("jpg", "JPEG Image File", factory); a
// class registered for an extension that already has one takes its place. "bmp", "jpg",
// "jpeg" and "ico" are registered from the start.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vcl/system/delegate.h"
#include "vcl/system/persistent.h"
#include "vcl/system/types.h"

namespace vcl {

class TCanvas;
class TStream;
class TBitmap;

enum TProgressStage : uint8_t { psStarting, psRunning, psEnding };
// Loading (or another long operation on a picture) reports its stage and percentage; `RedrawNow`
// asks that what has been decoded so far be shown, `R` is the part of the picture concerned.
using TProgressEvent = Delegate<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone,
                                     bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TGraphic : public TPersistent {
public:
    VCL_CLASS(TGraphic, TPersistent)

    // An empty graphic of the same class (the class library's virtual constructor).
    virtual TGraphic* NewInstance() const = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool on);

    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    bool Modified = false;
    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    friend class TCanvas;
    friend class TPicture;
    // Paints the picture into the rectangle of the canvas, stretched to fit.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    virtual void Changed();
    virtual void Progress(TObject* sender, TProgressStage stage, uint8_t percentDone,
                          bool redrawNow, const TRect& r, const std::string& msg);

private:
    bool transparent_ = false;
};

using TGraphicFactory = std::function<TGraphic*()>;

void RegisterFileFormat(const std::string& extension, const std::string& description,
                        TGraphicFactory factory);
void UnregisterFileFormat(const std::string& extension);
// A new graphic of the class registered for the extension (without the dot, any case), or
// nullptr.
TGraphic* CreateGraphicForExtension(const std::string& extension);

class TPicture : public TPersistent {
public:
    VCL_CLASS(TPicture, TPersistent)

    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(TGraphic* graphic);  // copies the graphic (nullptr empties the picture)
    // The graphic as a bitmap; a picture that holds something else is emptied into a new bitmap.
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;

    // EInvalidGraphic "Unknown picture file extension (.xyz)" for an extension without a class.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void Assign(const TPersistent* source) override;

    TNotifyEvent OnChange;

private:
    void Take(TGraphic* graphic);
    void GraphicChanged(TObject*);

    std::unique_ptr<TGraphic, FreeDeleter> graphic_;
};

}  // namespace vcl
