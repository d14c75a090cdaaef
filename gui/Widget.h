#pragma once

#include <cstdint>
#include <vector>

#include "gui/Event.h"
#include "gui/engine/Colour.h"
#include "gui/engine/Painter.h"
#include "gui/engine/ScreenPort.h"

namespace gui {

// A node of the one widget tree: owns its children, knows its rectangle on the canvas, carries
// a dirty flag and may take the focus. Drawing and event handling are the subclasses' own.
class Widget : public ScreenPort {
public:
    explicit Widget(Widget* parent);
    virtual ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // r is relative to the parent's client area if relative and there is a parent.
    virtual void SetRect(const Rect& r, bool relative);
    virtual void SetDirty(bool d) { dirty = d; }
    virtual bool IsDirty() const { return dirty; }
    virtual bool IsTreeDirty() const;
    virtual Colour TextColour() const { return textColour; }
    virtual Colour BackgroundColour() const { return backgroundColour; }
    virtual bool OnEvent(const Event& e);
    virtual void Draw() = 0;
    virtual bool DrawChildren();
    virtual void OnChildChanged(Widget* child) { (void)child; }
    virtual void UpdateClientRect();
    virtual void ProcessTimeout();

    // Detaches a child without deleting it; null if it was not a child.
    Widget* RemoveChild(Widget* child);
    // Detaches and deletes a child with its subtree: the way to delete any widget but the root.
    bool DeleteChild(Widget* child);
    // The focus lies strictly below this widget.
    bool HasFocusInTree() const;
    void SetTreeDirty(bool d);
    // Draws the widget's frame around r (2 pixels in focusFrameColour when it has the focus, else
    // 1 pixel in frameColour) and returns its width; filled paints the inside in the background.
    int DrawFocusFrame(Painter& painter, const Rect& r, bool filled);
    void PostEvent(int32_t type, int64_t param = 0, int32_t detail = 0);

    // The client area in canvas coordinates.
    Rect ClientOnCanvas() const { return client.Moved(rect.left, rect.top); }

    Widget* parent;
    std::vector<Widget*> children;
    bool dirty = true;
    bool focusable = false;
    int32_t fontId = 0;
    Colour textColour = 0x00000000;
    Colour backgroundColour = 0x00FFFFFF;
    Colour focusFrameColour = 0x00FF0000;
    Colour frameColour = 0x00808080;
};

void SetFocus(Widget* widget);

}  // namespace gui
