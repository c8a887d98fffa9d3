// The car physics: the fixed-step driver of the driven car, one step, and
// the rigid body (forces at points, gravity, spoiler down-force,
// slipstream, air drag and the integration with its tilt limit); and the
// calls a step and a frame make into the wheel, contact, control, replay
// and race-order models.
#pragma once
#include <cstdint>

struct TCAR;

constexpr double SB_PHYSICSSTEP = 10.0;  // ms of simulated time in a full step
constexpr double SB_NEARCAR = 20.0;      // m: nearer cars are placed at every step
constexpr double SB_FARAWAY = 100000.0;  // the distance of every car without a driven one
constexpr double SB_GRAVITY = 9.81;
constexpr double SB_MAXLEAN = 0.5;  // rad from upright
// m/s, 300 km/h: no car of the shipped parameters goes faster flat out on
// a straight (about 270 km/h, tests/vehicles/handling): the speed at which
// the game controller counts the least time a race can take.
constexpr double SB_TOPSPEED = 300.0 / 3.6;

// The driven car's physics for one frame, in steps of 10 ms of simulated
// time and one shorter step that ends the frame.
void SB_SimulateCar(int32_t index);
// One step of length SB_Var.PhysicsDt.
void SB_PhysicsStep(int32_t index);

// Force x scale at a world point: into the force accumulator and, as
// (centre - point) x force, the torque accumulator.
void SB_AddForceAtPoint(const double point[3], const double force[3], TCAR* body, double scale);
// Only the force's x and z, and only the torque's y.
void SB_AddPlanarForceAtPoint(const double point[3], const double force[3], TCAR* body, double scale);
// The same with the torque times lever.
void SB_AddPlanarForceLever(const double point[3], const double force[3], TCAR* body, double scale,
                            double lever);
// out = origin + direction x ((point - origin) . direction / direction . direction).
void SB_ProjectPointOnLine(const double point[3], const double direction[3], const double origin[3],
                           double out[3]);
// At rest, upright, with the inertia of a solid box; the position is kept.
void SB_InitRigidBody(TCAR* body, double width, double height, double length, double mass);

// The step's forces on car index's body, as impulses of SB_Var.PhysicsDt.
void SB_ApplyGravity(TCAR* car);
void SB_ApplySpoilerForce(TCAR* car);
// The pull on car index of each car moving away ahead of it, nearer than
// half that car's speed (m/s) in metres, while car index is in its wake:
// within a car's width of its line of travel.
void SB_ApplySlipstream(int32_t index);
// Air drag on the velocities, then the move.
void SB_ApplyAirDrag(TCAR* car);
void SB_IntegrateBody(TCAR* car);

// The models a step calls: the wheels and drive, then after the body
// forces the ground, wall and car contacts.
void SB_StepWheels(TCAR* car);
void SB_ApplyContacts(int32_t index, TCAR* car);
// Once a frame for the driven car, before its steps.
void SB_ApplyControlsToCar(int32_t index);
// After the frame's last step: the drawn wheels' clearance, the recording
// and the state sent to the other players.
void SB_ComputeWheelClearance(int32_t index);
// The engine sound's frequency word from the engine's rpm.
void SB_SetEngineFrequency(TCAR* car);
void SB_RecordTick(int32_t index);
void SB_PackCarState(int32_t index);
// A car that is not simulated, placed at a time (ms): from the network
// states, then from its replay, which also advances by elapsed ms.
void SB_PlaceRemoteCar(int32_t index, int32_t time);
void SB_PlayReplayTick(int32_t index, int32_t time, int32_t elapsed);
// After the physics of a frame: track progress and positions, the order
// links and the replay opponents' pacing; then the wheel smoke.
void SB_UpdateRaceStanding();
// Place of every racing car in the game, by track progress (1 leads).
void SB_UpdateRacePositions();
void SB_LinkRaceOrder();
void SB_PaceReplayBehindLeader();
void SB_PaceReplaysAgainstLive();
void SB_EmitWheelSmoke();
