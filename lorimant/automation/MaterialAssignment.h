// Giving a material to shapes and sub-sections of a model, shared by the
// automation methods and the section view's material commands so that a
// command and the replay of its journal line leave the same model. Each
// adds the metal to the model's list of materials when the model has none
// of its name.
#pragma once

#include <memory>

class CMetal;
class CShapeAnalysis;
class CSubSection;
class CXSectionAnalysis;

// The shape takes metal (a hole too).
void GiveMaterialToShape(CXSectionAnalysis& model, CShapeAnalysis& shape, const std::shared_ptr<CMetal>& metal);
// Every shape of sub and of the sub-sections below it takes metal, the
// holes too unless solidOnly (ApplyMaterialToSubSection gives it to all).
void GiveMaterialToSubSection(CXSectionAnalysis& model, const CSubSection& sub, const std::shared_ptr<CMetal>& metal,
                              bool solidOnly = false);
// sub and every sub-section below it take metal (their unions' shapes),
// and so does every shape of them that is not a hole (ApplyMaterialToAll,
// Set Material All).
void GiveMaterialToAll(CXSectionAnalysis& model, CSubSection& sub, const std::shared_ptr<CMetal>& metal);
