#pragma once
// Our window framework: what the program's windows are built from. One header per concern:
//
//   Window.h           CWindow: a window handle with the plain Win32 calls; kDefaultWindowRect.
//   MessageMap.h       BEGIN_MSG_MAP ... END_MSG_MAP: messages, ranges, commands (id, code, ranges),
//                      notifications, chaining to bases and mixins, the bHandled flag, and the
//                      reflection of notifications back to the child that sent them (OCM_*).
//   WindowImpl.h       CWindowImplRoot / CWindowImpl<T>: an object bound to a window by subclassing
//                      or by creating it (own classes and superclasses of system classes, bound
//                      before WM_NCCREATE); OnFinalMessage after WM_NCDESTROY.
//   DialogImpl.h       CDialogImpl<T>: modal and modeless dialogs from templates of the resource
//                      module or in memory (DialogTemplate.h).
//   MessageLoop.h      CMessageLoop with message filters and idle handlers; FrameworkModule.h keeps
//                      one loop per thread (g_Module) and the module handles.
//   PropertySheet.h    CPropertySheet / CPropertyPage: modal sheets, page notifications, page release.
//   AxHost.h           the "LyrantAxHost" window class hosting an ActiveX control named by its text,
//                      and its "get the control" request; AxHostSite.h is the container side.
//   HtmlDialog.h       CHtmlDialog: a dialog whose content is a web page, with browser and document
//                      events, clicks by element id, window.external and a close message.
//   DispatchForwarder.h  small IDispatch sinks and connection-point helpers.
//   MemoryDC.h         CMemoryDC (off-screen drawing) and CDoubleBufferImpl<T>.
#include "framework/AxHost.h"
#include "framework/DialogImpl.h"
#include "framework/DialogTemplate.h"
#include "framework/DispatchForwarder.h"
#include "framework/FrameworkModule.h"
#include "framework/HtmlDialog.h"
#include "framework/MemoryDC.h"
#include "framework/MessageLoop.h"
#include "framework/MessageMap.h"
#include "framework/PropertySheet.h"
#include "framework/Window.h"
#include "framework/WindowImpl.h"
