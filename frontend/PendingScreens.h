#pragma once
// Entry points of front-end screens that later parts of the front end build: the planet
// visit of the campaign and the avatar screens. Until those screens exist these stand in
// for them (frontend/PendingScreens.cpp) and the player stays in the menus.

// Starts the planet behind the iris ("Visiting Flimbs Planet"). Until the planet exists
// the iris closes and opens again on the menus.
void VisitPlanet();

// The avatar row of the options menu (the avatar picture browser and editor); until they
// exist the arrows keep the picture and "New" and "Edit" open nothing.
class Button;
class Primitive;
class PrimContainer;
void PreviousAvatarPicture(Primitive* parent, Button* button);
void NextAvatarPicture(Primitive* parent, Button* button);
void NewAvatarFromOptions(Primitive* parent, Button* button);
void EditAvatarFromOptions(Primitive* parent, Button* button);
// Shows "Edit" only when the shown picture has a source file (nothing in reduced mode).
void UpdateAvatarEditButton(PrimContainer* optionsMenu);
