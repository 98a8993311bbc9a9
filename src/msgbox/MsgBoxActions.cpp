// The message box's side of the bound on one player action
// (ActionBounds.h): every step and start runs inside an ActionScope.
#include "msgbox/CMsgBox.h"

CMsgBox::ActionScope::ActionScope(CMsgBox& box, ActionKind kind) : box_(box) {
  box_.action_.Enter(kind, box_.script_.ScriptPath(), !box_.script_.Words().empty());
}

CMsgBox::ActionScope::~ActionScope() { box_.action_.Leave(); }

bool CMsgBox::MayStartScript(const std::string& name) { return action_.MayStart(script_.TextDir() + name); }

void CMsgBox::StepAfterFade(bool lasted) {
  StepIn(lasted ? ActionKind::AfterLastingFade : ActionKind::Continued);
}

bool CMsgBox::LoadScreenOpened() const {
  return fontMenu_.MenuActive() && saves_.LoadMode() && script_.Running() && !script_.AtEnd() &&
         script_.Current() == "LoadMenu";
}
